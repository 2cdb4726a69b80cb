#pragma once
// The file names the bundled configuration makes the program open.

#include "config/VeskConfiguration.h"

#include <QString>

#include <string>
#include <vector>

// Every file name the record holds that the program may open: textures, images, fonts and
// documents.
inline std::vector<std::string> namedFiles(const VeskConfiguration& c)
{
    std::vector<std::string> files;
    const auto add = [&files](const VeskConfiguration::TextList& list) { files.insert(files.end(), list.begin(), list.end()); };
    const auto& cm = c.cornermenu;
    const auto& rm = c.ringmenu;
    const auto& sm = c.strokemenu;
    const auto& p = c.palette;
    for (const VeskConfiguration::TextList* list : {
             &c.destroyer.texture, &c.storage_bin_creator.texture, &c.pool_current_creator.texture,
             &c.belt_current_creator.texture, &c.sticky_board_creator.texture, &c.sticky_note_creator.texture,
             &c.lens_creator.texture, &c.colorscale.texture, &c.representationchanger.texture,
             &c.contextmenu.texture0, &c.canvas_surface.texture, &c.font.file, &c.document.file, &c.task.image,
             &c.task.additionalImage,
             &cm.backgroundTexture, &cm.dummyTexture, &cm.createTexture, &cm.eraseTexture,
             &cm.orientFollowTexture, &cm.orientCircularTexture, &cm.orientRadialTexture,
             &cm.moveFollowTexture, &cm.moveAttractionTexture, &cm.moveRepulsionTexture,
             &cm.resizeBiggerTexture, &cm.resizeSmallerTexture,
             &rm.createTexture, &rm.eraseTexture, &rm.orientFollowTexture, &rm.orientCircularTexture,
             &rm.orientRadialTexture, &rm.moveFollowTexture, &rm.moveAttractionTexture,
             &rm.moveRepulsionTexture, &rm.resizeBiggerTexture, &rm.resizeSmallerTexture,
             &rm.changeDiameterTexture, &rm.changePrimitiveTexture,
             &sm.backgroundTexture, &sm.acceptTexture, &sm.cancelTexture, &sm.sketchTexture,
             &p.texture_stroke_mode, &p.texture_stroke_mode_active, &p.texture_save, &p.texture_save_active,
             &p.texture_empty_canvas, &p.texture_empty_canvas_active, &p.texture_layer,
             &p.texture_layer_active, &p.texture_diameter, &p.texture_diameter_active,
             &p.texture_create_erase, &p.texture_create_erase_active, &p.texture_size,
             &p.texture_size_active, &p.texture_orientation, &p.texture_orientation_active,
             &p.texture_gravitate, &p.texture_gravitate_active, &p.texture_orbit, &p.texture_orbit_active,
             &p.texture_random, &p.texture_random_active, &p.texture_attraction,
             &p.texture_attraction_active, &p.texture_repulsion, &p.texture_repulsion_active,
             &p.texture_direction_follow, &p.texture_direction_follow_active, &p.texture_direction_random,
             &p.texture_direction_random_active, &p.texture_clear_mixing_area,
             &p.texture_clear_mixing_area_active, &p.texture_orientation_style, &p.texture_direction_style,
             &p.texture_mode, &p.texture_empty_canvas_apply, &p.texture_primitive_type,
             &p.texture_primitive_stroke, &p.texture_primitive_tile, &p.texture_primitive_point,
             &p.texture_palette})
        add(*list);
    // Texture batches: the pattern formatted with 1 .. number.
    for (size_t i = 0; i < c.textures.source.size(); ++i) {
        const QString pattern = QString::fromStdString(c.textures.source[i]);
        for (uint32_t n = 1; n <= c.textures.number[i]; ++n)
            files.push_back(QString(pattern).replace(QLatin1String("%d"), QString::number(n)).toStdString());
    }
    return files;
}
