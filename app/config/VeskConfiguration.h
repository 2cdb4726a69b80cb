#pragma once
// The settings of nprtable: a plain record of public fields, filled once at start by
// QTVeskConfiguration and read-only afterwards.
//
// Naming: one member per XML element, named exactly as the element (`mainwindow`, `containers`,
// `sizeLens`, ...); inside it one field per attribute, named as the attribute with '-' written as
// '_' (`graphics.linear_filering` for "linear-filering").
//
// Scalar elements hold one value per attribute, starting at the defaults below; a present attribute
// overwrites its field and a later element overwrites again.
//
// List elements hold one ordered list per attribute. Every occurrence of the element appends exactly
// one entry to each of its lists (the attribute's value, or the element's default when the attribute
// is absent or empty), so the lists of one element always have equal length and entry i of each
// list describes the i-th occurrence. In unsigned lists 4294967295 (kMissingPosition, written -1 in
// the file) stands for a missing position. Texts are owned std::string copies of the UTF-8 value;
// use c_str() where a `const char*` is wanted.

#include <cstdint>
#include <string>
#include <vector>

class VeskConfiguration {
public:
    // An unsigned list entry that names no position.
    static constexpr uint32_t kMissingPosition = 4294967295u;
    // Loopback UDP port on which TUIO trackers send by default.
    static constexpr uint32_t kDefaultTuioPort = 3333;

    using UnsignedList = std::vector<uint32_t>;
    using SignedList = std::vector<int32_t>;
    using RealList = std::vector<double>;
    using FlagList = std::vector<bool>;
    using TextList = std::vector<std::string>;

    VeskConfiguration() = default;
    virtual ~VeskConfiguration() = default;
    VeskConfiguration(const VeskConfiguration&) = default;
    VeskConfiguration& operator=(const VeskConfiguration&) = default;

    // ---- Scalar elements ----

    struct Startup {
        uint32_t demo_type = 0; // 0 main, 1 decorative mosaic, 2 pointillism, 3 geometric strokes
        bool animation = false;
        // Start with an empty canvas (no random primitives); the demo actions still build theirs.
        bool empty_canvas = false;
        // A colour reference image placed over the table at start (empty: none).
        std::string reference_image;
    };
    struct MainWindow {
        uint32_t width = 700; // also the table width used for centring
        uint32_t height = 525;
        bool fullscreen = true;
        bool fullscreen_real = false;
    };
    struct GlobalBuffers {
        uint32_t width = 700;
        uint32_t height = 525;
    };
    struct UserData {
        uint32_t number = 1;
        uint32_t wiis = 0;
    };
    struct Wii {
        float joystick_speed_factor = 10.0f;
        bool use_joystick_for_pointing = false;
    };
    struct TouchExtend {
        bool render = false; // true only for the value 1
    };
    struct SmartBoard {
        double physical_width = 57.5; // physical unit of the board
        double physical_height = 43.3;
        uint32_t resolution_width = 4000; // board units
        uint32_t resolution_height = 4000;
    };
    // Contact-area ranges (min, max] per posture, in physical units squared of `smartboard`. The
    // defaults put the simulated contacts of the fake-posture actions (3x3, 10x10, 15x15, 50x50 and
    // 350x350 board units) into their own posture with the default board geometry.
    struct InputArea {
        double pen_min = 0.0;
        double pen_max = 0.005;
        double single_finger_min = 0.005;
        double single_finger_max = 0.025;
        double two_finger_min = 0.025;
        double two_finger_max = 0.1;
        double fist_min = 0.1;
        double fist_max = 2.0;
        double hand_min = 2.0;
        double hand_max = 100.0;
    };
    struct Tossing {
        double friction = 0.98;
        double cutoff = 0.15;
    };
    struct Rnt {
        double factor = 0.5;
        double circle_time = 2.0;
    };
    struct Graphics {
        bool vsync = false;
        bool mipmapping = true;
        bool linear_filering = true;
        bool texure_compression = true;
        bool arb_texture_compression = false;
    };
    struct ObjectAddAndRemove {
        uint32_t number_per_step = 100;
    };
    struct ContainerSettings {
        double initialMaxWidth = 100.0;
        double borderWidth = 15.0;
        double opacity = 0.75;
        uint32_t insideCPSteps = 3;
        uint32_t outsideCPSteps = 3;
    };
    struct Color {
        float r;
        float g;
        float b;
    };
    struct ToolGlass {
        double diameter_scale_speed = 100.0; // read as float
    };
    // Spring-mass brush of the stroke build canvas; the defaults are its one-finger preset.
    struct StrokeSim {
        double k = 0.05;
        double damping = 0.8;
        double ductus = 2.0;
        double max_th = 30.0;
        double min_th = 10.0;
        double mass = 1.0;
        double vh_init = 0.065;
    };
    struct Osc {
        uint32_t receive_port = 7000;
        uint32_t send_port = 7001;
    };
    // Touch sources besides Qt touch events and the mouse, which are always on.
    // <touchinput tuio="1" tuio_port="3333"/>: `tuio` switches the TUIO 1.1 receiver on (any
    // integer other than 0) or off (0); it listens on the loopback address only. `tuio_port` is the
    // UDP port as read; validateConfiguration brings a value outside 1..65535 back to 3333.
    struct TouchInput {
        bool tuio = true;
        uint32_t tuio_port = kDefaultTuioPort;
    };

    Startup startup;
    MainWindow mainwindow;
    GlobalBuffers globalbuffers;
    UserData userdata;
    Wii wii;
    TouchExtend touchextend;
    SmartBoard smartboard;
    InputArea inputarea;
    Tossing tossing;
    Rnt rnt;
    Graphics graphics;
    ObjectAddAndRemove object_add_and_remove;
    ContainerSettings containersettings;
    Color inside_color{0.16f, 0.12f, 0.24f};
    Color border_color{0.2f, 0.5f, 0.9f};
    Color highlight_color{0.8f, 0.0f, 0.0f};
    ToolGlass toolglass;
    StrokeSim strokesim;
    Osc osc;
    TouchInput touchinput;

    // ---- List elements (defaults of absent attributes in the comments) ----

    // number 1; source "textures/waste_basket_small.png" (a printf pattern with one integer).
    struct Textures {
        UnsignedList number;
        TextList source;
    };
    // width, height 64; xpos, ypos -1; texture "textures/waste_basket_small.png".
    struct Destroyer {
        UnsignedList width, height, xpos, ypos;
        TextList texture;
    };
    // Storage bin and interface current creators: creator_width, creator_height 64; width, height
    // 600; xpos, ypos -1; numberofcontrolpoints 8; splinelevel 4; rounded true; texture as above.
    struct ShapeCreator {
        UnsignedList creator_width, creator_height, width, height, xpos, ypos;
        UnsignedList numberofcontrolpoints, splinelevel;
        FlagList rounded;
        TextList texture;
    };
    // Sticky board (width, height 600) and sticky note (400) creators; otherwise as above.
    struct StickyCreator {
        UnsignedList creator_width, creator_height, width, height, xpos, ypos;
        TextList texture;
    };
    // creator 64 x 64; width, height 200; xpos, ypos -1; inorout 1; ratio 0.9; magnification 2.0;
    // x_up 0.0; y_up 1.0; type "Size"; dropoff "Gaussian"; texture as above.
    struct LensCreator {
        UnsignedList creator_width, creator_height, width, height, xpos, ypos, inorout;
        RealList ratio, magnification, x_up, y_up;
        TextList type, dropoff, texture;
    };
    // number 100; width, height 100.0. Never empty after reading: an empty list gets (0, 100, 100).
    struct Images {
        UnsignedList number;
        RealList width, height;
    };
    // Colour scale (texture "textures/bty.png", type "bty") and representation changer (texture
    // "textures/unknownDC.png", type "unknown"): width, height 64; xpos, ypos -1.
    struct IconTool {
        UnsignedList width, height, xpos, ypos;
        TextList texture, type;
    };
    // texture, label: empty texts.
    struct InfoVisContainerTexture {
        TextList texture, label;
    };
    // width, height 500; xpos, ypos 300; controlwidth 50 (read as reals); transparency 1.0;
    // compare 0; drawlabels 1; data "data/data.xml"; font "arial64"; type "sunburst";
    // datatype "unknown".
    struct InfoVisContainer {
        UnsignedList width, height, xpos, ypos, controlwidth;
        RealList transparency;
        UnsignedList compare, drawlabels;
        TextList data, font, type, datatype;
    };
    // Primitives: number 100; width, height 100.0; do_bump_mapping / do_dodging false;
    // num_segments 32.
    struct Strokes {
        UnsignedList number;
        RealList width, height;
        FlagList do_bump_mapping;
    };
    struct Tiles {
        UnsignedList number;
        RealList width, height;
        FlagList do_dodging;
    };
    struct Points {
        UnsignedList number;
        RealList width, height;
    };
    struct GeoStrokes {
        UnsignedList number;
        RealList width, height;
        SignedList num_segments;
    };
    // Menus: width, height 200; xpos, ypos 500; opacity 1.0 (read as float); rnt (context menu
    // true, others false); tossing false; textures as named in the field comments.
    struct ContextMenu {
        UnsignedList width, height, xpos, ypos;
        RealList opacity;
        FlagList rnt, tossing;
        TextList texture0; // "textures/contextmenu/texture0.png"
    };
    struct CornerMenu {
        UnsignedList width, height, xpos, ypos;
        RealList opacity;
        FlagList rnt, tossing;
        // "textures/contextmenu/background.png", ".../dummy.png", ".../create.png", ...
        TextList backgroundTexture, dummyTexture, createTexture, eraseTexture;
        TextList orientFollowTexture, orientCircularTexture, orientRadialTexture;
        TextList moveFollowTexture, moveAttractionTexture, moveRepulsionTexture;
        TextList resizeBiggerTexture, resizeSmallerTexture;
    };
    struct RingMenu {
        UnsignedList width, height;
        RealList opacity;
        // "textures/ringmenu/ring-menu-create.png", ...
        TextList createTexture, eraseTexture;
        TextList orientFollowTexture, orientCircularTexture, orientRadialTexture;
        TextList moveFollowTexture, moveAttractionTexture, moveRepulsionTexture;
        TextList resizeBiggerTexture, resizeSmallerTexture;
        TextList changeDiameterTexture, changePrimitiveTexture;
    };
    struct StrokeMenu {
        UnsignedList width, height, xpos, ypos;
        RealList opacity;
        FlagList rnt, tossing;
        // "textures/strokemenu/background.png", ".../accept.png", ".../cancel.png", ".../sketch.png"
        TextList backgroundTexture, acceptTexture, cancelTexture, sketchTexture;
    };
    // Containers, storage bins, interface currents: number 0; width, height 600.0; xpos, ypos -1;
    // numberofcontrolpoints 8; splinelevel 4; insideboundaryflag false; rounded true;
    // with_images 1.
    struct Containers {
        UnsignedList number;
        RealList width, height;
        UnsignedList xpos, ypos, numberofcontrolpoints, splinelevel;
        FlagList insideboundaryflag, rounded;
        UnsignedList with_images;
    };
    // number 0; width, height 200.0; xpos, ypos -1 (signed); ratio 0.9; magnification 2.0;
    // dropoff "Gaussian"; isvisible 1.
    struct SizeLens {
        UnsignedList number;
        RealList width, height;
        SignedList xpos, ypos;
        RealList ratio, magnification;
        TextList dropoff;
        UnsignedList isvisible;
    };
    // As SizeLens, plus inorout 1.
    struct DirectionLens : SizeLens {
        UnsignedList inorout;
    };
    // Control, pool, ground and stroke build canvas surfaces: border 10.0; overflow 50.0.
    struct Surface {
        RealList border, overflow;
    };
    // width, height 300.0; xpos, ypos 200.0; arcWidth 200.0; font "arial32".
    struct TypingDevice {
        RealList width, height, xpos, ypos, arcWidth;
        TextList font;
    };
    // As TypingDevice, plus rotation 0.0.
    struct RotatedTypingDevice : TypingDevice {
        RealList rotation;
    };
    // number 1; xpos, ypos 200.0; width, height 400.0; mergeNumber 1.0; shape "ELLIPSE";
    // font "arial32"; border "T_SOLID"; type "SOLID"; text "Automatically generated text";
    // color "BLUE".
    struct MemoryContainer {
        UnsignedList number;
        RealList xpos, ypos, width, height, mergeNumber;
        TextList shape, font, border, type, text, color;
    };
    // xpos, ypos 200.0; width, height 400.0; data "data/data.xml"; font "arial64";
    // datatype "unknown".
    struct Wordmap {
        RealList xpos, ypos, width, height;
        TextList data, font, datatype;
    };
    // xpos, ypos 200.0; width, height 400.0; numberOfRings 1.
    struct TreeProfile {
        RealList xpos, ypos, width, height;
        SignedList numberOfRings;
    };
    // border 10.0; overflow 50.0; number_of_toolbrushes 1; initial_stroke_width 10.0;
    // texture "textures/test.jpg".
    struct CanvasSurface {
        RealList border, overflow;
        UnsignedList number_of_toolbrushes;
        RealList initial_stroke_width;
        TextList texture;
    };
    // number 1; width, height 500.0; xpos, ypos 300; opacity 1.0; toolbrush_type_id 1.0;
    // default_toolbrush_size 200.0 (the last three read as floats). Each texture defaults to
    // "textures/<name>.png" for texture_<name>, except texture_size(_active) ->
    // "textures/size_tool(_active).png", texture_orientation(_active) ->
    // "textures/orientation_tool(_active).png" and texture_palette -> "textures/palette.jpg".
    struct Palette {
        UnsignedList number;
        RealList width, height;
        UnsignedList xpos, ypos;
        RealList opacity, toolbrush_type_id, default_toolbrush_size;
        TextList texture_stroke_mode, texture_stroke_mode_active;
        TextList texture_save, texture_save_active;
        TextList texture_empty_canvas, texture_empty_canvas_active;
        TextList texture_layer, texture_layer_active;
        TextList texture_diameter, texture_diameter_active;
        TextList texture_create_erase, texture_create_erase_active;
        TextList texture_size, texture_size_active;
        TextList texture_orientation, texture_orientation_active;
        TextList texture_gravitate, texture_gravitate_active;
        TextList texture_orbit, texture_orbit_active;
        TextList texture_random, texture_random_active;
        TextList texture_attraction, texture_attraction_active;
        TextList texture_repulsion, texture_repulsion_active;
        TextList texture_direction_follow, texture_direction_follow_active;
        TextList texture_direction_random, texture_direction_random_active;
        TextList texture_clear_mixing_area, texture_clear_mixing_area_active;
        TextList texture_orientation_style, texture_direction_style, texture_mode;
        TextList texture_empty_canvas_apply, texture_primitive_type;
        TextList texture_primitive_stroke, texture_primitive_tile, texture_primitive_point;
        TextList texture_palette;
    };
    // border 10.0; overflow 50.0; friction 0.99.
    struct HockeySurface {
        RealList border, overflow, friction;
    };
    // number 2; size 250.0 (read as float).
    struct HockeyPaddles {
        UnsignedList number;
        RealList size;
    };
    // number 1; size 200.0; speed 5.0; max_speed 150.0 (read as floats).
    struct HockeyPucks {
        UnsignedList number;
        RealList size, speed, max_speed;
    };
    // file "fonts/arial.ttf"; size 64.
    struct Font {
        TextList file;
        UnsignedList size;
    };
    // file "fonts/arial.ttf"; height 64; xpos, ypos -1.
    struct Document {
        TextList file;
        UnsignedList height, xpos, ypos;
    };
    // Single items placed on the table (xpos, ypos -1: a random place).
    // file "images/picture1.png"; width, height 200.0; xpos, ypos -1; rotation 0.0.
    struct Image {
        TextList file;
        RealList width, height, rotation;
        UnsignedList xpos, ypos;
    };
    // text "Label"; font "arial32"; height 32.0 (text height in pixels); xpos, ypos -1;
    // text_r, text_g, text_b 0.0; background_r, background_g, background_b, background_a 1.0;
    // padding 8.0.
    struct Label {
        TextList text, font;
        RealList height, padding;
        UnsignedList xpos, ypos;
        RealList text_r, text_g, text_b;
        RealList background_r, background_g, background_b, background_a;
    };
    // width, height 200.0 (sticky_note) or 600.0 (sticky_board); xpos, ypos -1; rotation 0.0
    // (notes only).
    struct StickyItem {
        RealList width, height, rotation;
        UnsignedList xpos, ypos;
    };
    // One study task per entry: number -1; inputDevice, type, blockNumber 0; elementsType 3;
    // elementsInitNumber 0; startsSequence, endsSequence 0; description, additionalDescription
    // empty; image "textures/tasks/defaultTask.png"; additionalImage
    // "textures/tasks/defaultTaskAdditional.png"; numberOfTargetAreas 1; every target-area value 500.
    struct Task {
        SignedList number, inputDevice, type, blockNumber, elementsType, elementsInitNumber;
        SignedList startsSequence, endsSequence;
        TextList description, additionalDescription, image, additionalImage;
        SignedList numberOfTargetAreas;
        SignedList targetArea1StartX, targetArea1StartY, targetArea1EndX, targetArea1EndY;
        SignedList targetArea1Diameter;
        SignedList targetArea2StartX, targetArea2StartY, targetArea2EndX, targetArea2EndY;
        SignedList targetArea2Diameter;
        SignedList targetArea3StartX, targetArea3StartY, targetArea3EndX, targetArea3EndY;
        SignedList targetArea3Diameter;
        SignedList targetArea4StartX, targetArea4StartY, targetArea4EndX, targetArea4EndY;
        SignedList targetArea4Diameter;
    };

    Textures textures;
    Destroyer destroyer;
    ShapeCreator storage_bin_creator;
    ShapeCreator pool_current_creator;
    ShapeCreator belt_current_creator;
    StickyCreator sticky_board_creator;
    StickyCreator sticky_note_creator;
    LensCreator lens_creator;
    Images images;
    IconTool colorscale;
    IconTool representationchanger;
    InfoVisContainerTexture infoviscontainer_texture;
    InfoVisContainer infoviscontainer;
    Strokes strokes;
    Tiles tiles;
    Points points;
    GeoStrokes geostrokes;
    ContextMenu contextmenu;
    CornerMenu cornermenu;
    RingMenu ringmenu;
    StrokeMenu strokemenu;
    Containers containers;
    Containers storage_bins;
    Containers interface_currents;
    SizeLens sizeLens;
    DirectionLens directionLens;
    Surface control_surface;
    Surface pool_surface;
    Surface ground;
    Surface geostrokes_build_canvas_surface;
    TypingDevice typingDevice;
    RotatedTypingDevice typingDeviceBalloon;
    RotatedTypingDevice typingDeviceCircle;
    MemoryContainer memory_container;
    Wordmap wordmap;
    TreeProfile treeprofile;
    CanvasSurface canvas_surface;
    Palette palette;
    HockeySurface hockey_surface;
    HockeyPaddles hockey_paddles;
    HockeyPucks hockey_pucks;
    Font font;
    Document document;
    Image image;
    Label label;
    StickyItem sticky_note;
    StickyItem sticky_board;
    Task task;

    // Gives `images` its one default entry (number 0, width and height 100.0) when no element
    // supplied any; run after reading.
    void ensureImageEntry();
};
