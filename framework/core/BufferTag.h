#pragma once
// The kinds of per-pixel grids. The same value names a grid in a parent's active map, in its
// children's passive maps and in the controller's global map.

enum BUFFERTAG : unsigned int {
    CONTROL_BUFFER = 0,
    SPEED_BUFFER = 1,                       // int: shape index of points
    ABSOLUTE_SIZE_BUFFER = 2,               // float, 1 channel
    RELATIVE_SIZE_BUFFER = 3,               // float, 1 channel: magnification
    SIZE_DIFFERENCE_BUFFER = 4,             // float, 1 channel
    DIRECTION_BUFFER = 5,                   // float, 2 channels: movement
    AUXILIARY_VECTOR_BUFFER = 6,            // float, 2 channels
    ORIENTATION_BUFFER = 7,                 // float, 2 channels
    TEMPORARY_ORIENTATION_BUFFER = 8,       // float, 2 channels
    SECOND_TEMPORARY_ORIENTATION_BUFFER = 9,// float, 2 channels
    COLOR_BUFFER = 10,                      // unsigned char, 3 channels
    TEMPORARY_COLOR_BUFFER = 11,            // unsigned char, 3 channels
    ERASE_BUFFER = 13,                      // float, 1 channel
    FRAME_VECTOR_BUFFER = 14,               // float, 2 channels: tile positions
    LOCAL_HIT_BUFFER = 15,                  // the component's own hit mask
    TOSSING_FRICTION_BUFFER = 17,           // float, 1 channel
    TOOL_STATE_BUFFER = 18,                 // float: tool-state grid or paddle table
    DROP_OFF_BUFFER = 19,                   // float, 1 channel
    LENS_OUTPUT_BUFFER = 20,                // float, 2 channels: direction lens or brush output
    BRUSH_MOVE_BUFFER_1 = 21,
    BRUSH_MOVE_BUFFER_2 = 22,
    BRUSH_MOVE_BUFFER_3 = 23,
    HANDLE_MASK_BUFFER = 24,                // unsigned char
    SELECTION_BUFFER = 25,                  // bool
    AUXILIARY_SELECTION_BUFFER = 26,        // bool
    DEPTH_BUFFER = 27,                      // double
    GRADIENT_BUFFER = 28,                   // double, 2 channels
    TARGET_AREA_BUFFER = 29,                // bool
    STROKE_SAMPLE_BUFFER = 30,              // grid of stroke samples
    VALIDITY_MASK_BUFFER = 32               // bool
};
