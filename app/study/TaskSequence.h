#pragma once
// TaskSequence: the study's task list and its state (task mode, the task on show, the counter),
// starting and finishing tasks and handing them to the loggers. Needs no graphics context: the
// host does the drawing and the canvas work.
//
// Counter rules: a sequence-end task (an introduction or closing screen, endsSequence set) is
// shown but not run or logged, and moves the counter on when shown; an ordinary task moves it
// on when finished, so its logs carry its own number. A list that opens with an ordinary task
// runs it like any other (the counter moves on when it is finished).

#include "TaskDescription.h"

#include <string>
#include <vector>

class TaskHost {
public:
    virtual ~TaskHost() = default;
    virtual bool hasCanvas() const = 0;
    virtual bool hasCornerMenu() const = 0;
    // The canvas's task operations.
    virtual void clearTaskAreas() = 0;
    virtual void setCanvasTask(unsigned int position) = 0;
    // Draw lists of the task's target areas, appended to the host's list.
    virtual void buildTargetAreas(const TaskDescription& task) = 0;
    // Records every primitive into the primitive logger, before the logs are written.
    virtual void recordPrimitives() = 0;
    // Main window size for the target-area placement.
    virtual int tableWidth() const = 0;
    virtual int tableHeight() const = 0;
};

class TaskSequence {
public:
    explicit TaskSequence(TaskHost* host = nullptr) : host_(host) {}
    void setHost(TaskHost* host) { host_ = host; }
    // rand15: 0 ... 32767 for the placement (default: the shared generator).
    void setRandom(int (*rand15)()) { rand15_ = rand15; }

    void setTasks(std::vector<TaskDescription> tasks) { tasks_ = std::move(tasks); }
    const std::vector<TaskDescription>& tasks() const { return tasks_; }

    bool hasMoreTasks() const;
    void setTaskMode(bool on);
    bool isTaskMode() const { return taskMode_; }
    void finishTask();
    void startTask();
    // The program quits: a running task's rows are written as if it finished, its overview
    // row flagged unfinished.
    void finishAtQuit();

    bool isTaskRunning() const { return taskRunning_; }
    bool allTasksDone() const { return allTasksDone_; }
    bool isSequenceEnd() const { return sequenceEnd_; }
    unsigned int currentTaskNumber() const { return curTaskNr_; }
    const std::string& taskText() const { return taskText_; }
    // The description on show (a copy, with its placed target area).
    const TaskDescription& shownTask() const { return shown_; }

private:
    void writeLogs();

    TaskHost* host_;
    int (*rand15_)() = nullptr;
    std::vector<TaskDescription> tasks_;
    TaskDescription shown_;
    std::string taskText_;
    bool taskMode_ = false;
    bool taskRunning_ = false;
    bool allTasksDone_ = false;
    bool sequenceEnd_ = false;
    unsigned int curTaskNr_ = 0;
    // An ordinary task was started and its logs are not written yet.
    bool started_ = false;
};
