#include "TaskSequence.h"

#include "Loggers.h"

#include "core/Random.h"

#include <ctime>
#include <iostream>

bool TaskSequence::hasMoreTasks() const
{
    std::cout << "_curTaskNr: " << curTaskNr_ << std::endl;
    std::cout << "_taskDescriptions.size(): " << tasks_.size() << std::endl;
    return curTaskNr_ < tasks_.size();
}

void TaskSequence::setTaskMode(bool on)
{
    taskMode_ = on;
    if (!on) {
        // Leaving mid-task keeps the task's rows, flagged unfinished.
        finishAtQuit();
        taskRunning_ = false;
        curTaskNr_ = 0;
        allTasksDone_ = false;
    }
}

void TaskSequence::writeLogs()
{
    const std::string n = std::to_string(tasks_[curTaskNr_].taskNumber);
    if (host_) host_->recordPrimitives();
    PrimitiveLogger::instance().writeToFile(n);
    DirectTouchLogger::instance().writeToFile(n);
    WiimoteLogger::instance().writeToFile(n);
    NunchukLogger::instance().writeToFile(n);
    TaskLogger::instance().writeToFile(n);
    PrimitiveLogger::instance().reset();
    DirectTouchLogger::instance().reset();
    WiimoteLogger::instance().reset();
    NunchukLogger::instance().reset();
    TaskLogger::instance().reset();
    started_ = false;
}

void TaskSequence::finishTask()
{
    if (host_ && host_->hasCanvas()) host_->clearTaskAreas();
    taskRunning_ = false;
    // Only a started ordinary task is written; one at position 0 counts as well.
    if (sequenceEnd_ || !started_ || curTaskNr_ >= tasks_.size()) return;
    writeLogs();
    ++curTaskNr_;
}

void TaskSequence::finishAtQuit()
{
    if (!started_ || sequenceEnd_ || curTaskNr_ >= tasks_.size()) return;
    TaskLogger::instance().setUnfinished(true);
    taskRunning_ = false;
    writeLogs();
}

void TaskSequence::startTask()
{
    if (!taskMode_ || curTaskNr_ >= tasks_.size()) return;
    finishTask();
    if (!hasMoreTasks()) {
        allTasksDone_ = true;
        return;
    }
    shown_ = tasks_[curTaskNr_];
    sequenceEnd_ = shown_.endsSequence;
    if (sequenceEnd_) tavlor::seedRand15(static_cast<unsigned int>(std::time(nullptr)));
    taskText_ = shown_.description;

    const int width = host_ ? host_->tableWidth() : 0;
    const int height = host_ ? host_->tableHeight() : 0;
    placeTargetArea(shown_, width, height, rand15_ ? rand15_ : &tavlor::rand15);
    if (host_) host_->buildTargetAreas(shown_);

    if (!sequenceEnd_) {
        // The task runs on the canvas; the corner menu is not needed for it.
        if (host_ && (host_->hasCornerMenu() || host_->hasCanvas())) taskRunning_ = true;
        if (host_ && host_->hasCanvas()) host_->setCanvasTask(curTaskNr_);
        Logger* loggers[] = {&PrimitiveLogger::instance(), &DirectTouchLogger::instance(),
                             &WiimoteLogger::instance(), &NunchukLogger::instance(),
                             &TaskLogger::instance()};
        for (Logger* l : loggers) l->reset();
        for (Logger* l : loggers) l->setTask(&shown_);
        for (Logger* l : loggers) l->startTimer();
        started_ = true;
    }
    // An ordinary task, even at position 0, moves the counter on when it is finished.
    if (sequenceEnd_) ++curTaskNr_;
}
