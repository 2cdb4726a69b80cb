#include "TaskDescription.h"

#include <algorithm>

namespace {

template <class T> T at(const std::vector<T>& list, std::size_t i, T fallback)
{
    return i < list.size() ? list[i] : fallback;
}

} // namespace

std::vector<TaskDescription> taskDescriptionsFrom(const VeskConfiguration::Task& t)
{
    std::vector<TaskDescription> out;
    const std::size_t n = t.number.size();
    for (std::size_t i = 0; i < n; ++i) {
        TaskDescription d;
        d.taskNumber = at(t.number, i, -1);
        d.inputDevice = at(t.inputDevice, i, 0);
        d.taskType = at(t.type, i, 0);
        d.elementsType = at(t.elementsType, i, 3);
        d.elementsInitNumber = at(t.elementsInitNumber, i, 0);
        d.startsSequence = at(t.startsSequence, i, 0) != 0;
        d.endsSequence = at(t.endsSequence, i, 0) != 0;
        d.description = at(t.description, i, std::string());
        d.additionalDescription = at(t.additionalDescription, i, std::string());
        d.numberOfTargetAreas =
            std::clamp(at(t.numberOfTargetAreas, i, 1), 0, TaskDescription::kMaxTargetAreas);
        const VeskConfiguration::SignedList* areas[4][5] = {
            {&t.targetArea1StartX, &t.targetArea1StartY, &t.targetArea1EndX, &t.targetArea1EndY,
             &t.targetArea1Diameter},
            {&t.targetArea2StartX, &t.targetArea2StartY, &t.targetArea2EndX, &t.targetArea2EndY,
             &t.targetArea2Diameter},
            {&t.targetArea3StartX, &t.targetArea3StartY, &t.targetArea3EndX, &t.targetArea3EndY,
             &t.targetArea3Diameter},
            {&t.targetArea4StartX, &t.targetArea4StartY, &t.targetArea4EndX, &t.targetArea4EndY,
             &t.targetArea4Diameter}};
        for (std::size_t a = 0; a < 4; ++a) {
            d.startX[a] = at(*areas[a][0], i, 500);
            d.startY[a] = at(*areas[a][1], i, 500);
            d.endX[a] = at(*areas[a][2], i, 500);
            d.endY[a] = at(*areas[a][3], i, 500);
            d.diameter[a] = at(*areas[a][4], i, 500);
        }
        d.blockNumber = at(t.blockNumber, i, 0);
        out.push_back(d);
    }
    return out;
}

std::string inputDeviceOverviewText(int d)
{
    if (d == 0) return "0 \t Direct Touch + Nunchuk \t";
    if (d == 1) return "1 \t WiiRemote + Nunchuk \t";
    return std::to_string(d) + "\t NO DESCRIPTION \t";
}

std::string inputDeviceHeaderText(int d)
{
    if (d == 0) return "Input Device: \t Direct Touch + Nunchuk \t";
    if (d == 1) return "Input Device: \t WiiRemote + Nunchuk \t";
    return "Input Device: \t" + std::to_string(d) + "\t";
}

std::string taskTypeOverviewText(int t)
{
    switch (t) {
    case 0: return "0 \t Create strokes \t";
    case 1: return "1 \t Orient strokes in a line \t";
    case 2: return "2 \t Orient strokes circular \t";
    case 3: return "3 \t Orient strokes in a star shape \t";
    case 5: return "5 \t Repel strokes outward \t";
    default: return std::to_string(t) + "\t NO DESCRIPTION \t";
    }
}

std::string taskTypeTouchText(int t)
{
    switch (t) {
    case 0: return "Task: \t Create strokes \t";
    case 1: return "Task: \t  Orient strokes in a line \t";
    case 2: return "Task: \t Orient strokes circular \t";
    case 3: return "Task: \t Orient strokes in a star shape \t";
    case 5: return "Task: \t Repel strokes outward \t";
    default: return "Task: \t" + std::to_string(t) + "\t";
    }
}

std::string taskTypeWiimoteText(int t)
{
    switch (t) {
    case 0: return "Task: \t Create Elements \t";
    case 1: return "Task: \t Orient Elements linear/follow \t";
    case 2: return "Task: \t Orient Elements circular \t";
    case 3: return "Task: \t Orient Elements radial \t";
    default: return "Task: \t" + std::to_string(t) + "\t";
    }
}

std::string elementsTypeText(int e)
{
    switch (e) {
    case 0: return "Primitive Type: \t Points \t";
    case 1: return "Primitive Type: \t Tiles \t";
    case 3: return "Primitive Type: \t Strokes \t";
    default: return "Task: \t" + std::to_string(e) + "\t";
    }
}

void placeTargetArea(TaskDescription& task, int width, int height, int (*rand15)())
{
    const int r = static_cast<int>(task.diameter[0] * 0.5);
    // The integer product is formed first, as the placement formulas expect.
    auto u = [rand15](int span) { return static_cast<double>(rand15() * span) / 32767.0; };
    const int spanY = height - 2 * r - 220;
    if (task.taskType == 0 || task.taskType == 1) {
        const int spanX = width - 2 * r - 900;
        if (spanX < 0 || spanY < 0) return;
        const int x = static_cast<int>(u(spanX) + r + 120);
        const int y = static_cast<int>(u(spanY) + r + 120);
        task.startX[0] = x;
        task.startY[0] = y;
        task.endX[0] = x + 680;
        task.endY[0] = y;
    } else if (task.taskType == 3 || task.taskType == 5) {
        const int spanX = width - 2 * r - 220;
        if (spanX < 0 || spanY < 0) return;
        const int x = static_cast<int>(u(spanX) + r + 120);
        const int y = static_cast<int>(u(spanY) + r + 120);
        task.startX[0] = task.endX[0] = x;
        task.startY[0] = task.endY[0] = y;
    }
}
