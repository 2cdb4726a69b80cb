#pragma once
// Where a task's target areas lie and where its initial primitives go. Table pixels.
//
// A target area with equal start and end is a disc of the area's diameter around it; otherwise
// it is a capsule: the stretch from start to end widened by half the diameter on every side.

#include "TaskDescription.h"

#include <vector>

struct TaskPoint {
    double x = 0.0;
    double y = 0.0;
};

// Whether (x, y) lies in target area `area` of the task.
bool insideTargetArea(const TaskDescription& task, int area, double x, double y);
// Whether (x, y) lies in any of the task's target areas.
bool insideAnyTargetArea(const TaskDescription& task, double x, double y);

// Tasks whose primitives start outside the target areas: creating strokes (type 0) starts on
// an empty area.
bool populatesOutsideTargetAreas(const TaskDescription& task);

// The task's initial primitives: per target area up to elementsInitNumber positions out of
// 4096 candidates drawn with rand15 (0 ... 32767) over the screen, kept inside the area (a
// disc, or the capsule's bounding rectangle) or, for tasks that ask for it, outside every area's
// rectangle widened by its diameter; only positions strictly inside the screen count.
std::vector<TaskPoint> scatterForTask(const TaskDescription& task, double screenWidth,
                                      double screenHeight, int (*rand15)());
