#include "config/QTVeskConfiguration.h"

#include "config/ConfigurationValidator.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QXmlStreamAttributes>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

using Config = VeskConfiguration;

// Number conversions follow QString's: text that is not a number gives 0. Non-finite reals
// ("nan", "inf", overflow) count as not a number, so no consumer ever sees them.
uint32_t toUnsigned(const QString& v)
{
    bool ok = false;
    const uint32_t u = v.toUInt(&ok);
    return ok ? u : 0u;
}

int32_t toSigned(const QString& v)
{
    bool ok = false;
    const int32_t i = v.toInt(&ok);
    return ok ? i : 0;
}

double toReal(const QString& v)
{
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok && std::isfinite(d) ? d : 0.0;
}

float toFloat(const QString& v)
{
    bool ok = false;
    const float f = v.toFloat(&ok);
    return ok && std::isfinite(f) ? f : 0.0f;
}

bool toFlag(const QString& v)
{
    return toSigned(v) != 0;
}

// Reads the attributes of one element into the record. An attribute counts as absent when its
// value is empty.
class ElementReader {
public:
    explicit ElementReader(const QXmlStreamAttributes& attributes) : attributes_(attributes) {}

    // Scalars: a present attribute overwrites the field.
    void set(const char* name, uint32_t& field) const { if (has(name)) field = toUnsigned(value_); }
    void set(const char* name, double& field) const { if (has(name)) field = toReal(value_); }
    void set(const char* name, float& field) const { if (has(name)) field = toFloat(value_); }
    void set(const char* name, bool& field) const { if (has(name)) field = toFlag(value_); }
    void set(const char* name, std::string& field) const { if (has(name)) field = value_.toStdString(); }
    // A flag that is true only for the value 1.
    void setFlagOne(const char* name, bool& field) const
    {
        if (has(name))
            field = toSigned(value_) == 1;
    }
    void setFloatAsDouble(const char* name, double& field) const
    {
        if (has(name))
            field = toFloat(value_);
    }

    // Lists: every call appends exactly one entry, the value or the default.
    void add(const char* name, Config::UnsignedList& list, uint32_t def) const
    {
        list.push_back(has(name) ? toUnsignedOrMissing(value_) : def);
    }
    void add(const char* name, Config::SignedList& list, int32_t def) const
    {
        list.push_back(has(name) ? toSigned(value_) : def);
    }
    void add(const char* name, Config::RealList& list, double def) const
    {
        list.push_back(has(name) ? toReal(value_) : def);
    }
    void add(const char* name, Config::FlagList& list, bool def) const
    {
        list.push_back(has(name) ? toFlag(value_) : def);
    }
    void add(const char* name, Config::TextList& list, const char* def) const
    {
        list.push_back(has(name) ? value_.toStdString() : std::string(def));
    }
    // Reals read in single precision.
    void addFloat(const char* name, Config::RealList& list, float def) const
    {
        list.push_back(has(name) ? toFloat(value_) : def);
    }
    // Reals stored as unsigned: truncated, negative or not-a-number give 0, too large saturates.
    void addRealAsUnsigned(const char* name, Config::UnsignedList& list, uint32_t def) const
    {
        if (!has(name)) {
            list.push_back(def);
            return;
        }
        const double d = toReal(value_);
        if (!(d > 0.0))
            list.push_back(0u);
        else if (d >= 4294967295.0)
            list.push_back(4294967295u);
        else
            list.push_back(static_cast<uint32_t>(d));
    }

private:
    bool has(const char* name) const
    {
        value_ = attributes_.value(QLatin1String(name)).toString();
        return !value_.isEmpty();
    }
    // In unsigned lists "-1" names the missing position.
    static uint32_t toUnsignedOrMissing(const QString& v)
    {
        bool ok = false;
        const uint32_t u = v.toUInt(&ok);
        if (ok)
            return u;
        return v.toLongLong(&ok) == -1 && ok ? Config::kMissingPosition : 0u;
    }

    const QXmlStreamAttributes& attributes_;
    mutable QString value_;
};

constexpr uint32_t kMissing = Config::kMissingPosition;
constexpr const char* kWasteBasket = "textures/waste_basket_small.png";

// The creator's own size and place and the size of what it creates; each creator kind then
// adds its own attributes, and the texture last.
template <typename Creator>
void readCreatorFrame(const ElementReader& r, Creator& e, uint32_t size)
{
    r.add("creator_width", e.creator_width, 64);
    r.add("creator_height", e.creator_height, 64);
    r.add("width", e.width, size);
    r.add("height", e.height, size);
    r.add("xpos", e.xpos, kMissing);
    r.add("ypos", e.ypos, kMissing);
}

void readShapeCreator(const ElementReader& r, Config::ShapeCreator& e)
{
    readCreatorFrame(r, e, 600);
    r.add("numberofcontrolpoints", e.numberofcontrolpoints, 8);
    r.add("splinelevel", e.splinelevel, 4);
    r.add("rounded", e.rounded, true);
    r.add("texture", e.texture, kWasteBasket);
}

void readStickyCreator(const ElementReader& r, Config::StickyCreator& e, uint32_t size)
{
    readCreatorFrame(r, e, size);
    r.add("texture", e.texture, kWasteBasket);
}

void readColor(const ElementReader& r, Config::Color& c)
{
    r.set("r", c.r);
    r.set("g", c.g);
    r.set("b", c.b);
}

void readIconTool(const ElementReader& r, Config::IconTool& e, const char* texture, const char* type)
{
    r.add("width", e.width, 64);
    r.add("height", e.height, 64);
    r.add("xpos", e.xpos, kMissing);
    r.add("ypos", e.ypos, kMissing);
    r.add("texture", e.texture, texture);
    r.add("type", e.type, type);
}

template <typename Primitives>
void readPrimitiveSize(const ElementReader& r, Primitives& e)
{
    r.add("number", e.number, 100);
    r.add("width", e.width, 100.0);
    r.add("height", e.height, 100.0);
}

void readContainers(const ElementReader& r, Config::Containers& e)
{
    r.add("number", e.number, 0);
    r.add("width", e.width, 600.0);
    r.add("height", e.height, 600.0);
    r.add("xpos", e.xpos, kMissing);
    r.add("ypos", e.ypos, kMissing);
    r.add("numberofcontrolpoints", e.numberofcontrolpoints, 8);
    r.add("splinelevel", e.splinelevel, 4);
    r.add("insideboundaryflag", e.insideboundaryflag, false);
    r.add("rounded", e.rounded, true);
    r.add("with_images", e.with_images, 1);
}

void readSizeLens(const ElementReader& r, Config::SizeLens& e)
{
    r.add("number", e.number, 0);
    r.add("width", e.width, 200.0);
    r.add("height", e.height, 200.0);
    r.add("xpos", e.xpos, -1);
    r.add("ypos", e.ypos, -1);
    r.add("ratio", e.ratio, 0.9);
    r.add("magnification", e.magnification, 2.0);
    r.add("dropoff", e.dropoff, "Gaussian");
    r.add("isvisible", e.isvisible, 1);
}

void readSurface(const ElementReader& r, Config::Surface& e)
{
    r.add("border", e.border, 10.0);
    r.add("overflow", e.overflow, 50.0);
}

void readTypingDevice(const ElementReader& r, Config::TypingDevice& e)
{
    r.add("width", e.width, 300.0);
    r.add("height", e.height, 300.0);
    r.add("xpos", e.xpos, 200.0);
    r.add("ypos", e.ypos, 200.0);
    r.add("arcWidth", e.arcWidth, 200.0);
    r.add("font", e.font, "arial32");
}

void readRotatedTypingDevice(const ElementReader& r, Config::RotatedTypingDevice& e)
{
    readTypingDevice(r, e);
    r.add("rotation", e.rotation, 0.0);
}

// Position, size, opacity and the two manipulation flags that three menus share.
template <typename Menu>
void readMenuFrame(const ElementReader& r, Menu& e, bool rnt)
{
    r.add("width", e.width, 200);
    r.add("height", e.height, 200);
    r.add("xpos", e.xpos, 500);
    r.add("ypos", e.ypos, 500);
    r.addFloat("opacity", e.opacity, 1.0f);
    r.add("rnt", e.rnt, rnt);
    r.add("tossing", e.tossing, false);
}

void readCornerMenu(const ElementReader& r, Config::CornerMenu& e)
{
    readMenuFrame(r, e, false);
    r.add("backgroundTexture", e.backgroundTexture, "textures/contextmenu/background.png");
    r.add("dummyTexture", e.dummyTexture, "textures/contextmenu/dummy.png");
    r.add("createTexture", e.createTexture, "textures/contextmenu/create.png");
    r.add("eraseTexture", e.eraseTexture, "textures/contextmenu/erase.png");
    r.add("orientFollowTexture", e.orientFollowTexture, "textures/contextmenu/orient-follow.png");
    r.add("orientCircularTexture", e.orientCircularTexture, "textures/contextmenu/orient-circular.png");
    r.add("orientRadialTexture", e.orientRadialTexture, "textures/contextmenu/orient-radial.png");
    r.add("moveFollowTexture", e.moveFollowTexture, "textures/contextmenu/move-follow.png");
    r.add("moveAttractionTexture", e.moveAttractionTexture, "textures/contextmenu/move-attraction.png");
    r.add("moveRepulsionTexture", e.moveRepulsionTexture, "textures/contextmenu/move-repulsion.png");
    r.add("resizeBiggerTexture", e.resizeBiggerTexture, "textures/contextmenu/resize-bigger.png");
    r.add("resizeSmallerTexture", e.resizeSmallerTexture, "textures/contextmenu/resize-smaller.png");
}

void readRingMenu(const ElementReader& r, Config::RingMenu& e)
{
    r.add("width", e.width, 200);
    r.add("height", e.height, 200);
    r.addFloat("opacity", e.opacity, 1.0f);
    r.add("createTexture", e.createTexture, "textures/ringmenu/ring-menu-create.png");
    r.add("eraseTexture", e.eraseTexture, "textures/ringmenu/ring-menu-erase.png");
    r.add("orientFollowTexture", e.orientFollowTexture, "textures/ringmenu/ring-menu-orient-follow.png");
    r.add("orientCircularTexture", e.orientCircularTexture,
          "textures/ringmenu/ring-menu-orient-circular.png");
    r.add("orientRadialTexture", e.orientRadialTexture, "textures/ringmenu/ring-menu-orient-radial.png");
    r.add("moveFollowTexture", e.moveFollowTexture, "textures/ringmenu/ring-menu-move-follow.png");
    r.add("moveAttractionTexture", e.moveAttractionTexture,
          "textures/ringmenu/ring-menu-move-attraction.png");
    r.add("moveRepulsionTexture", e.moveRepulsionTexture,
          "textures/ringmenu/ring-menu-move-repulsion.png");
    r.add("resizeBiggerTexture", e.resizeBiggerTexture, "textures/ringmenu/ring-menu-resize-bigger.png");
    r.add("resizeSmallerTexture", e.resizeSmallerTexture,
          "textures/ringmenu/ring-menu-resize-smaller.png");
    r.add("changeDiameterTexture", e.changeDiameterTexture,
          "textures/ringmenu/ring-menu-change-diameter.png");
    r.add("changePrimitiveTexture", e.changePrimitiveTexture,
          "textures/ringmenu/ring-menu-change-primitive.png");
}

void readStrokeMenu(const ElementReader& r, Config::StrokeMenu& e)
{
    readMenuFrame(r, e, false);
    r.add("backgroundTexture", e.backgroundTexture, "textures/strokemenu/background.png");
    r.add("acceptTexture", e.acceptTexture, "textures/strokemenu/accept.png");
    r.add("cancelTexture", e.cancelTexture, "textures/strokemenu/cancel.png");
    r.add("sketchTexture", e.sketchTexture, "textures/strokemenu/sketch.png");
}

void readPalette(const ElementReader& r, Config::Palette& e)
{
    r.add("number", e.number, 1);
    r.add("width", e.width, 500.0);
    r.add("height", e.height, 500.0);
    r.add("xpos", e.xpos, 300);
    r.add("ypos", e.ypos, 300);
    r.addFloat("opacity", e.opacity, 1.0f);
    r.addFloat("toolbrush_type_id", e.toolbrush_type_id, 1.0f);
    r.addFloat("default_toolbrush_size", e.default_toolbrush_size, 200.0f);

    const struct {
        const char* attribute;
        Config::TextList Config::Palette::*list;
        const char* file;
    } textures[] = {
        {"texture_stroke_mode", &Config::Palette::texture_stroke_mode, "textures/stroke_mode.png"},
        {"texture_stroke_mode_active", &Config::Palette::texture_stroke_mode_active,
         "textures/stroke_mode_active.png"},
        {"texture_save", &Config::Palette::texture_save, "textures/save.png"},
        {"texture_save_active", &Config::Palette::texture_save_active, "textures/save_active.png"},
        {"texture_empty_canvas", &Config::Palette::texture_empty_canvas, "textures/empty_canvas.png"},
        {"texture_empty_canvas_active", &Config::Palette::texture_empty_canvas_active,
         "textures/empty_canvas_active.png"},
        {"texture_layer", &Config::Palette::texture_layer, "textures/layer.png"},
        {"texture_layer_active", &Config::Palette::texture_layer_active, "textures/layer_active.png"},
        {"texture_diameter", &Config::Palette::texture_diameter, "textures/diameter.png"},
        {"texture_diameter_active", &Config::Palette::texture_diameter_active,
         "textures/diameter_active.png"},
        {"texture_create_erase", &Config::Palette::texture_create_erase, "textures/create_erase.png"},
        {"texture_create_erase_active", &Config::Palette::texture_create_erase_active,
         "textures/create_erase_active.png"},
        {"texture_size", &Config::Palette::texture_size, "textures/size_tool.png"},
        {"texture_size_active", &Config::Palette::texture_size_active, "textures/size_tool_active.png"},
        {"texture_orientation", &Config::Palette::texture_orientation, "textures/orientation_tool.png"},
        {"texture_orientation_active", &Config::Palette::texture_orientation_active,
         "textures/orientation_tool_active.png"},
        {"texture_gravitate", &Config::Palette::texture_gravitate, "textures/gravitate.png"},
        {"texture_gravitate_active", &Config::Palette::texture_gravitate_active,
         "textures/gravitate_active.png"},
        {"texture_orbit", &Config::Palette::texture_orbit, "textures/orbit.png"},
        {"texture_orbit_active", &Config::Palette::texture_orbit_active, "textures/orbit_active.png"},
        {"texture_random", &Config::Palette::texture_random, "textures/random.png"},
        {"texture_random_active", &Config::Palette::texture_random_active, "textures/random_active.png"},
        {"texture_attraction", &Config::Palette::texture_attraction, "textures/attraction.png"},
        {"texture_attraction_active", &Config::Palette::texture_attraction_active,
         "textures/attraction_active.png"},
        {"texture_repulsion", &Config::Palette::texture_repulsion, "textures/repulsion.png"},
        {"texture_repulsion_active", &Config::Palette::texture_repulsion_active,
         "textures/repulsion_active.png"},
        {"texture_direction_follow", &Config::Palette::texture_direction_follow,
         "textures/direction_follow.png"},
        {"texture_direction_follow_active", &Config::Palette::texture_direction_follow_active,
         "textures/direction_follow_active.png"},
        {"texture_direction_random", &Config::Palette::texture_direction_random,
         "textures/direction_random.png"},
        {"texture_direction_random_active", &Config::Palette::texture_direction_random_active,
         "textures/direction_random_active.png"},
        {"texture_clear_mixing_area", &Config::Palette::texture_clear_mixing_area,
         "textures/clear_mixing_area.png"},
        {"texture_clear_mixing_area_active", &Config::Palette::texture_clear_mixing_area_active,
         "textures/clear_mixing_area_active.png"},
        {"texture_orientation_style", &Config::Palette::texture_orientation_style,
         "textures/orientation_style.png"},
        {"texture_direction_style", &Config::Palette::texture_direction_style,
         "textures/direction_style.png"},
        {"texture_mode", &Config::Palette::texture_mode, "textures/mode.png"},
        {"texture_empty_canvas_apply", &Config::Palette::texture_empty_canvas_apply,
         "textures/empty_canvas_apply.png"},
        {"texture_primitive_type", &Config::Palette::texture_primitive_type,
         "textures/primitive_type.png"},
        {"texture_primitive_stroke", &Config::Palette::texture_primitive_stroke,
         "textures/primitive_stroke.png"},
        {"texture_primitive_tile", &Config::Palette::texture_primitive_tile,
         "textures/primitive_tile.png"},
        {"texture_primitive_point", &Config::Palette::texture_primitive_point,
         "textures/primitive_point.png"},
        {"texture_palette", &Config::Palette::texture_palette, "textures/palette.jpg"},
    };
    for (const auto& t : textures)
        r.add(t.attribute, e.*(t.list), t.file);
}

void readTask(const ElementReader& r, Config::Task& e)
{
    r.add("number", e.number, -1);
    r.add("inputDevice", e.inputDevice, 0);
    r.add("type", e.type, 0);
    r.add("blockNumber", e.blockNumber, 0);
    r.add("elementsType", e.elementsType, 3);
    r.add("elementsInitNumber", e.elementsInitNumber, 0);
    r.add("startsSequence", e.startsSequence, 0);
    r.add("endsSequence", e.endsSequence, 0);
    r.add("description", e.description, "");
    r.add("additionalDescription", e.additionalDescription, "");
    r.add("image", e.image, "textures/tasks/defaultTask.png");
    r.add("additionalImage", e.additionalImage, "textures/tasks/defaultTaskAdditional.png");
    r.add("numberOfTargetAreas", e.numberOfTargetAreas, 1);

    using Area = Config::SignedList Config::Task::*;
    const struct {
        const char* attribute;
        Area list;
    } areas[] = {
        {"targetArea1StartX", &Config::Task::targetArea1StartX},
        {"targetArea1StartY", &Config::Task::targetArea1StartY},
        {"targetArea1EndX", &Config::Task::targetArea1EndX},
        {"targetArea1EndY", &Config::Task::targetArea1EndY},
        {"targetArea1Diameter", &Config::Task::targetArea1Diameter},
        {"targetArea2StartX", &Config::Task::targetArea2StartX},
        {"targetArea2StartY", &Config::Task::targetArea2StartY},
        {"targetArea2EndX", &Config::Task::targetArea2EndX},
        {"targetArea2EndY", &Config::Task::targetArea2EndY},
        {"targetArea2Diameter", &Config::Task::targetArea2Diameter},
        {"targetArea3StartX", &Config::Task::targetArea3StartX},
        {"targetArea3StartY", &Config::Task::targetArea3StartY},
        {"targetArea3EndX", &Config::Task::targetArea3EndX},
        {"targetArea3EndY", &Config::Task::targetArea3EndY},
        {"targetArea3Diameter", &Config::Task::targetArea3Diameter},
        {"targetArea4StartX", &Config::Task::targetArea4StartX},
        {"targetArea4StartY", &Config::Task::targetArea4StartY},
        {"targetArea4EndX", &Config::Task::targetArea4EndX},
        {"targetArea4EndY", &Config::Task::targetArea4EndY},
        {"targetArea4Diameter", &Config::Task::targetArea4Diameter},
    };
    for (const auto& a : areas)
        r.add(a.attribute, e.*(a.list), 500);
}

using ElementHandler = void (*)(Config&, const ElementReader&);

// Every element the file may hold, by qualified name.
const QHash<QString, ElementHandler>& elementHandlers()
{
    static const QHash<QString, ElementHandler> handlers = {
        // Scalar elements.
        {"startup", [](Config& c, const ElementReader& r) {
             r.set("demo_type", c.startup.demo_type);
             r.set("animation", c.startup.animation);
             r.set("empty_canvas", c.startup.empty_canvas);
             r.set("reference_image", c.startup.reference_image);
         }},
        {"mainwindow", [](Config& c, const ElementReader& r) {
             r.set("width", c.mainwindow.width);
             r.set("height", c.mainwindow.height);
             r.set("fullscreen", c.mainwindow.fullscreen);
             r.set("fullscreen_real", c.mainwindow.fullscreen_real);
         }},
        {"globalbuffers", [](Config& c, const ElementReader& r) {
             r.set("width", c.globalbuffers.width);
             r.set("height", c.globalbuffers.height);
         }},
        {"userdata", [](Config& c, const ElementReader& r) {
             r.set("number", c.userdata.number);
             r.set("wiis", c.userdata.wiis);
         }},
        {"wii", [](Config& c, const ElementReader& r) {
             r.set("joystick_speed_factor", c.wii.joystick_speed_factor);
             r.set("use_joystick_for_pointing", c.wii.use_joystick_for_pointing);
         }},
        {"touchextend", [](Config& c, const ElementReader& r) {
             r.setFlagOne("render", c.touchextend.render);
         }},
        {"smartboard", [](Config& c, const ElementReader& r) {
             r.set("physical_width", c.smartboard.physical_width);
             r.set("physical_height", c.smartboard.physical_height);
             r.set("resolution_width", c.smartboard.resolution_width);
             r.set("resolution_height", c.smartboard.resolution_height);
         }},
        {"inputarea", [](Config& c, const ElementReader& r) {
             Config::InputArea& a = c.inputarea;
             r.set("pen_min", a.pen_min);
             r.set("pen_max", a.pen_max);
             r.set("single_finger_min", a.single_finger_min);
             r.set("single_finger_max", a.single_finger_max);
             r.set("two_finger_min", a.two_finger_min);
             r.set("two_finger_max", a.two_finger_max);
             r.set("fist_min", a.fist_min);
             r.set("fist_max", a.fist_max);
             r.set("hand_min", a.hand_min);
             r.set("hand_max", a.hand_max);
         }},
        {"tossing", [](Config& c, const ElementReader& r) {
             r.set("friction", c.tossing.friction);
             r.set("cutoff", c.tossing.cutoff);
         }},
        {"rnt", [](Config& c, const ElementReader& r) {
             r.set("factor", c.rnt.factor);
             r.set("circle_time", c.rnt.circle_time);
         }},
        {"graphics", [](Config& c, const ElementReader& r) {
             r.set("vsync", c.graphics.vsync);
             r.set("mipmapping", c.graphics.mipmapping);
             r.set("linear-filering", c.graphics.linear_filering);
             r.set("texure-compression", c.graphics.texure_compression);
             r.set("arb-texture-compression", c.graphics.arb_texture_compression);
         }},
        {"object_add_and_remove", [](Config& c, const ElementReader& r) {
             r.set("number_per_step", c.object_add_and_remove.number_per_step);
         }},
        {"containersettings", [](Config& c, const ElementReader& r) {
             Config::ContainerSettings& s = c.containersettings;
             r.set("initialMaxWidth", s.initialMaxWidth);
             r.set("borderWidth", s.borderWidth);
             r.set("opacity", s.opacity);
             r.set("insideCPSteps", s.insideCPSteps);
             r.set("outsideCPSteps", s.outsideCPSteps);
         }},
        {"inside_color", [](Config& c, const ElementReader& r) { readColor(r, c.inside_color); }},
        {"border_color", [](Config& c, const ElementReader& r) { readColor(r, c.border_color); }},
        {"highlight_color", [](Config& c, const ElementReader& r) { readColor(r, c.highlight_color); }},
        {"toolglass", [](Config& c, const ElementReader& r) {
             r.setFloatAsDouble("diameter_scale_speed", c.toolglass.diameter_scale_speed);
         }},
        {"strokesim", [](Config& c, const ElementReader& r) {
             Config::StrokeSim& s = c.strokesim;
             r.set("k", s.k);
             r.set("damping", s.damping);
             r.set("ductus", s.ductus);
             r.set("max_th", s.max_th);
             r.set("min_th", s.min_th);
             r.set("mass", s.mass);
             r.set("vh_init", s.vh_init);
         }},
        {"osc", [](Config& c, const ElementReader& r) {
             r.set("receive_port", c.osc.receive_port);
             r.set("send_port", c.osc.send_port);
         }},
        {"touchinput", [](Config& c, const ElementReader& r) {
             r.set("tuio", c.touchinput.tuio);
             r.set("tuio_port", c.touchinput.tuio_port);
         }},

        // List elements.
        {"textures", [](Config& c, const ElementReader& r) {
             r.add("number", c.textures.number, 1);
             r.add("source", c.textures.source, kWasteBasket);
         }},
        {"destroyer", [](Config& c, const ElementReader& r) {
             r.add("width", c.destroyer.width, 64);
             r.add("height", c.destroyer.height, 64);
             r.add("xpos", c.destroyer.xpos, kMissing);
             r.add("ypos", c.destroyer.ypos, kMissing);
             r.add("texture", c.destroyer.texture, kWasteBasket);
         }},
        {"storage_bin_creator", [](Config& c, const ElementReader& r) {
             readShapeCreator(r, c.storage_bin_creator);
         }},
        {"pool_current_creator", [](Config& c, const ElementReader& r) {
             readShapeCreator(r, c.pool_current_creator);
         }},
        {"belt_current_creator", [](Config& c, const ElementReader& r) {
             readShapeCreator(r, c.belt_current_creator);
         }},
        {"sticky_board_creator", [](Config& c, const ElementReader& r) {
             readStickyCreator(r, c.sticky_board_creator, 600);
         }},
        {"sticky_note_creator", [](Config& c, const ElementReader& r) {
             readStickyCreator(r, c.sticky_note_creator, 400);
         }},
        {"lens_creator", [](Config& c, const ElementReader& r) {
             Config::LensCreator& e = c.lens_creator;
             r.add("creator_width", e.creator_width, 64);
             r.add("creator_height", e.creator_height, 64);
             r.add("width", e.width, 200);
             r.add("height", e.height, 200);
             r.add("xpos", e.xpos, kMissing);
             r.add("ypos", e.ypos, kMissing);
             r.add("inorout", e.inorout, 1);
             r.add("ratio", e.ratio, 0.9);
             r.add("magnification", e.magnification, 2.0);
             r.add("x_up", e.x_up, 0.0);
             r.add("y_up", e.y_up, 1.0);
             r.add("type", e.type, "Size");
             r.add("dropoff", e.dropoff, "Gaussian");
             r.add("texture", e.texture, kWasteBasket);
         }},
        {"images", [](Config& c, const ElementReader& r) { readPrimitiveSize(r, c.images); }},
        {"colorscale", [](Config& c, const ElementReader& r) {
             readIconTool(r, c.colorscale, "textures/bty.png", "bty");
         }},
        {"representationchanger", [](Config& c, const ElementReader& r) {
             readIconTool(r, c.representationchanger, "textures/unknownDC.png", "unknown");
         }},
        {"infoviscontainer_texture", [](Config& c, const ElementReader& r) {
             r.add("texture", c.infoviscontainer_texture.texture, "");
             r.add("label", c.infoviscontainer_texture.label, "");
         }},
        {"infoviscontainer", [](Config& c, const ElementReader& r) {
             Config::InfoVisContainer& e = c.infoviscontainer;
             r.addRealAsUnsigned("width", e.width, 500);
             r.addRealAsUnsigned("height", e.height, 500);
             r.addRealAsUnsigned("xpos", e.xpos, 300);
             r.addRealAsUnsigned("ypos", e.ypos, 300);
             r.addRealAsUnsigned("controlwidth", e.controlwidth, 50);
             r.add("transparency", e.transparency, 1.0);
             r.add("compare", e.compare, 0);
             r.add("drawlabels", e.drawlabels, 1);
             r.add("data", e.data, "data/data.xml");
             r.add("font", e.font, "arial64");
             r.add("type", e.type, "sunburst");
             r.add("datatype", e.datatype, "unknown");
         }},
        {"strokes", [](Config& c, const ElementReader& r) {
             readPrimitiveSize(r, c.strokes);
             r.add("do_bump_mapping", c.strokes.do_bump_mapping, false);
         }},
        {"tiles", [](Config& c, const ElementReader& r) {
             readPrimitiveSize(r, c.tiles);
             r.add("do_dodging", c.tiles.do_dodging, false);
         }},
        {"points", [](Config& c, const ElementReader& r) { readPrimitiveSize(r, c.points); }},
        {"geostrokes", [](Config& c, const ElementReader& r) {
             readPrimitiveSize(r, c.geostrokes);
             r.add("num_segments", c.geostrokes.num_segments, 32);
         }},
        {"contextmenu", [](Config& c, const ElementReader& r) {
             readMenuFrame(r, c.contextmenu, true);
             r.add("texture0", c.contextmenu.texture0, "textures/contextmenu/texture0.png");
         }},
        {"cornermenu", [](Config& c, const ElementReader& r) { readCornerMenu(r, c.cornermenu); }},
        {"ringmenu", [](Config& c, const ElementReader& r) { readRingMenu(r, c.ringmenu); }},
        {"strokemenu", [](Config& c, const ElementReader& r) { readStrokeMenu(r, c.strokemenu); }},
        {"containers", [](Config& c, const ElementReader& r) { readContainers(r, c.containers); }},
        {"storage_bins", [](Config& c, const ElementReader& r) { readContainers(r, c.storage_bins); }},
        {"interface_currents", [](Config& c, const ElementReader& r) {
             readContainers(r, c.interface_currents);
         }},
        {"sizeLens", [](Config& c, const ElementReader& r) { readSizeLens(r, c.sizeLens); }},
        {"directionLens", [](Config& c, const ElementReader& r) {
             readSizeLens(r, c.directionLens);
             r.add("inorout", c.directionLens.inorout, 1);
         }},
        {"control_surface", [](Config& c, const ElementReader& r) { readSurface(r, c.control_surface); }},
        {"pool_surface", [](Config& c, const ElementReader& r) { readSurface(r, c.pool_surface); }},
        {"ground", [](Config& c, const ElementReader& r) { readSurface(r, c.ground); }},
        {"geostrokes_build_canvas_surface", [](Config& c, const ElementReader& r) {
             readSurface(r, c.geostrokes_build_canvas_surface);
         }},
        {"typingDevice", [](Config& c, const ElementReader& r) { readTypingDevice(r, c.typingDevice); }},
        {"typingDeviceBalloon", [](Config& c, const ElementReader& r) {
             readRotatedTypingDevice(r, c.typingDeviceBalloon);
         }},
        {"typingDeviceCircle", [](Config& c, const ElementReader& r) {
             readRotatedTypingDevice(r, c.typingDeviceCircle);
         }},
        {"memory_container", [](Config& c, const ElementReader& r) {
             Config::MemoryContainer& e = c.memory_container;
             r.add("number", e.number, 1);
             r.add("xpos", e.xpos, 200.0);
             r.add("ypos", e.ypos, 200.0);
             r.add("width", e.width, 400.0);
             r.add("height", e.height, 400.0);
             r.add("mergeNumber", e.mergeNumber, 1.0);
             r.add("shape", e.shape, "ELLIPSE");
             r.add("font", e.font, "arial32");
             r.add("border", e.border, "T_SOLID");
             r.add("type", e.type, "SOLID");
             r.add("text", e.text, "Automatically generated text");
             r.add("color", e.color, "BLUE");
         }},
        {"wordmap", [](Config& c, const ElementReader& r) {
             Config::Wordmap& e = c.wordmap;
             r.add("xpos", e.xpos, 200.0);
             r.add("ypos", e.ypos, 200.0);
             r.add("width", e.width, 400.0);
             r.add("height", e.height, 400.0);
             r.add("data", e.data, "data/data.xml");
             r.add("font", e.font, "arial64");
             r.add("datatype", e.datatype, "unknown");
         }},
        {"treeprofile", [](Config& c, const ElementReader& r) {
             Config::TreeProfile& e = c.treeprofile;
             r.add("xpos", e.xpos, 200.0);
             r.add("ypos", e.ypos, 200.0);
             r.add("width", e.width, 400.0);
             r.add("height", e.height, 400.0);
             r.add("numberOfRings", e.numberOfRings, 1);
         }},
        {"canvas_surface", [](Config& c, const ElementReader& r) {
             Config::CanvasSurface& e = c.canvas_surface;
             r.add("border", e.border, 10.0);
             r.add("overflow", e.overflow, 50.0);
             r.add("number_of_toolbrushes", e.number_of_toolbrushes, 1);
             r.add("initial_stroke_width", e.initial_stroke_width, 10.0);
             r.add("texture", e.texture, "textures/test.jpg");
         }},
        {"palette", [](Config& c, const ElementReader& r) { readPalette(r, c.palette); }},
        {"hockey_surface", [](Config& c, const ElementReader& r) {
             r.add("border", c.hockey_surface.border, 10.0);
             r.add("overflow", c.hockey_surface.overflow, 50.0);
             r.add("friction", c.hockey_surface.friction, 0.99);
         }},
        {"hockey_paddles", [](Config& c, const ElementReader& r) {
             r.add("number", c.hockey_paddles.number, 2);
             r.addFloat("size", c.hockey_paddles.size, 250.0f);
         }},
        {"hockey_pucks", [](Config& c, const ElementReader& r) {
             r.add("number", c.hockey_pucks.number, 1);
             r.addFloat("size", c.hockey_pucks.size, 200.0f);
             r.addFloat("speed", c.hockey_pucks.speed, 5.0f);
             r.addFloat("max_speed", c.hockey_pucks.max_speed, 150.0f);
         }},
        {"font", [](Config& c, const ElementReader& r) {
             r.add("file", c.font.file, "fonts/arial.ttf");
             r.add("size", c.font.size, 64);
         }},
        {"document", [](Config& c, const ElementReader& r) {
             r.add("file", c.document.file, "fonts/arial.ttf");
             r.add("height", c.document.height, 64);
             r.add("xpos", c.document.xpos, kMissing);
             r.add("ypos", c.document.ypos, kMissing);
         }},
        {"image", [](Config& c, const ElementReader& r) {
             r.add("file", c.image.file, "images/picture1.png");
             r.add("width", c.image.width, 200.0);
             r.add("height", c.image.height, 200.0);
             r.add("xpos", c.image.xpos, kMissing);
             r.add("ypos", c.image.ypos, kMissing);
             r.add("rotation", c.image.rotation, 0.0);
         }},
        {"label", [](Config& c, const ElementReader& r) {
             r.add("text", c.label.text, "Label");
             r.add("font", c.label.font, "arial32");
             r.add("height", c.label.height, 32.0);
             r.add("xpos", c.label.xpos, kMissing);
             r.add("ypos", c.label.ypos, kMissing);
             r.add("padding", c.label.padding, 8.0);
             r.add("text_r", c.label.text_r, 0.0);
             r.add("text_g", c.label.text_g, 0.0);
             r.add("text_b", c.label.text_b, 0.0);
             r.add("background_r", c.label.background_r, 1.0);
             r.add("background_g", c.label.background_g, 1.0);
             r.add("background_b", c.label.background_b, 1.0);
             r.add("background_a", c.label.background_a, 1.0);
         }},
        {"sticky_note", [](Config& c, const ElementReader& r) {
             r.add("width", c.sticky_note.width, 200.0);
             r.add("height", c.sticky_note.height, 200.0);
             r.add("xpos", c.sticky_note.xpos, kMissing);
             r.add("ypos", c.sticky_note.ypos, kMissing);
             r.add("rotation", c.sticky_note.rotation, 0.0);
         }},
        {"sticky_board", [](Config& c, const ElementReader& r) {
             r.add("width", c.sticky_board.width, 600.0);
             r.add("height", c.sticky_board.height, 600.0);
             r.add("xpos", c.sticky_board.xpos, kMissing);
             r.add("ypos", c.sticky_board.ypos, kMissing);
         }},
        {"task", [](Config& c, const ElementReader& r) { readTask(r, c.task); }},
    };
    return handlers;
}

} // namespace

QTVeskConfiguration::QTVeskConfiguration(const QString& fileName)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        read(file);
    } else {
        readError_ = file.errorString();
        ensureImageEntry();
    }
}

QTVeskConfiguration QTVeskConfiguration::fromData(const QByteArray& xml)
{
    QTVeskConfiguration configuration;
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    configuration.read(buffer);
    return configuration;
}

void QTVeskConfiguration::startElement(const QString& qName, const QXmlStreamAttributes& attributes)
{
    const auto& handlers = elementHandlers();
    const auto it = handlers.constFind(qName);
    if (it == handlers.constEnd())
        return;
    // Beyond the limit an element is only counted: a huge file cannot fill the memory.
    if (++occurrences_[qName] > ConfigurationLimits::kMaxElementOccurrences)
        return;
    (*it)(*this, ElementReader(attributes));
}

std::vector<std::string> QTVeskConfiguration::ignoredElements() const
{
    std::vector<std::string> lines;
    for (auto it = occurrences_.constBegin(); it != occurrences_.constEnd(); ++it) {
        if (it.value() <= ConfigurationLimits::kMaxElementOccurrences)
            continue;
        lines.push_back(QStringLiteral("Configuration: %1 appears %2 times, more than %3; "
                                       "the rest is ignored")
                            .arg(it.key())
                            .arg(it.value())
                            .arg(ConfigurationLimits::kMaxElementOccurrences)
                            .toStdString());
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

void QTVeskConfiguration::read(QIODevice& device)
{
    QXmlStreamReader xml(&device);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement)
            startElement(xml.qualifiedName().toString(), xml.attributes());
    }
    if (xml.hasError())
        readError_ = QStringLiteral("%1 (line %2, column %3)")
                         .arg(xml.errorString())
                         .arg(xml.lineNumber())
                         .arg(xml.columnNumber());
    ensureImageEntry();
}
