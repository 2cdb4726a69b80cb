#pragma once
// One study task as the configuration describes it, and the texts its logs print for it.

#include "config/VeskConfiguration.h"

#include <array>
#include <string>
#include <vector>

struct TaskDescription {
    static constexpr int kMaxTargetAreas = 4;

    int taskNumber = -1;
    int inputDevice = 0;
    int taskType = 0;
    int elementsType = 3;
    int elementsInitNumber = 0;
    bool startsSequence = false;
    bool endsSequence = false;
    std::string description;
    std::string additionalDescription;
    unsigned int image = 0;
    unsigned int additionalImage = 0;
    // Clamped to 0 ... kMaxTargetAreas.
    int numberOfTargetAreas = 1;
    std::array<int, kMaxTargetAreas> startX{}, startY{}, endX{}, endY{}, diameter{};
    int blockNumber = 0;
};

// The task entries of a configuration, in file order. Images are not loaded (ids 0).
std::vector<TaskDescription> taskDescriptionsFrom(const VeskConfiguration::Task& tasks);

// Texts of the logs.
std::string inputDeviceOverviewText(int inputDevice);
std::string inputDeviceHeaderText(int inputDevice);
std::string taskTypeOverviewText(int taskType);
// The touch and Nunchuk logs' wording of a task type, and the Wii remote and primitive logs'.
std::string taskTypeTouchText(int taskType);
std::string taskTypeWiimoteText(int taskType);
std::string elementsTypeText(int elementsType);

// Places the first target area of a task by its type, with rand15 drawing 0 ... 32767:
// types 0 and 1 get a horizontal stretch of 680, types 3 and 5 a disc, others keep theirs.
// A window too small for the stretch or the disc keeps the configured area.
void placeTargetArea(TaskDescription& task, int width, int height, int (*rand15)());
