#pragma once
// Bounds every size, count and port of a configuration that was read, before anything is built
// from it: values that a real table could use pass unchanged; a value outside its range is
// replaced (by the limit it exceeds, or by the element's default where the value means nothing
// usable, such as a window width of 0) and one line names the element, the attribute, the value
// read and the value used instead. Sizes are pixels, counts are objects.
//
// The limits (ConfigurationLimits) are chosen so that the largest configuration they allow still
// fits a workstation's memory: a canvas and the global buffers of 16384 x 16384 cells at most,
// 64 users, 100,000 primitives per demo, 65,535 textures.

#include "config/VeskConfiguration.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ConfigurationLimits {
// Window, global buffers and image sides in pixels.
constexpr uint32_t kMaxSide = 16384;
// Users and Wii remotes together: one pointer each.
constexpr uint32_t kMaxPointers = 64;
// Primitives of one demo: the sum over the entries of strokes, tiles, points or geostrokes.
constexpr uint32_t kMaxPrimitives = 100000;
// Rows of the texture table: the sum of all textures numbers.
constexpr uint32_t kMaxTextures = 65535;
// A texture source without a number loads the same file each time.
constexpr uint32_t kMaxCopiesOfOneTexture = 256;
// Canvases and their tool brushes.
constexpr uint32_t kMaxCanvases = 4;
constexpr uint32_t kMaxToolbrushes = 64;
// Menus of each kind (context, corner, stroke) and their side in pixels: each keeps a region
// map of four bytes a pixel.
constexpr uint32_t kMaxMenus = 4;
constexpr uint32_t kMaxMenuSide = 2048;
// Border and overflow of a surface, and the initial stroke width, in pixels.
constexpr double kMaxMargin = 1024.0;
// Containers, storage bins or interface currents, lenses: the sum per element.
constexpr uint32_t kMaxContainers = 1000;
constexpr uint32_t kMaxLenses = 100;
// Segments of one geometric stroke.
constexpr int32_t kMaxSegments = 1024;
// Font size in points.
constexpr uint32_t kMaxFontSize = 1024;
// Occurrences of one element name that the reader keeps; later ones are counted and ignored.
constexpr uint32_t kMaxElementOccurrences = 1024;
} // namespace ConfigurationLimits

// Brings c within ConfigurationLimits; answers one line per replaced value, in the order of the
// record's fields. A configuration within the limits comes back unchanged with no line.
std::vector<std::string> validateConfiguration(VeskConfiguration& c);
