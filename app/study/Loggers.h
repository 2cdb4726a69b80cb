#pragma once
// The study loggers: four row loggers that keep a task's rows in memory and write them to
// "logs/<kind>/task<N>.txt", and the task logger that appends one row per task to
// "logs/taskOverview.txt". Each is a process-wide singleton (instance()).
//
// Times are wall-clock seconds since the task's timer started (a row before startTimer starts
// the clock itself). Missing log folders are created. Files are written relative to the base
// directory (default: the working directory).

#include "TaskDescription.h"

#include "core/WiiCommunicationData.h"

#include <functional>
#include <string>
#include <vector>

class Logger {
public:
    virtual ~Logger() = default;

    // Writes the task's file under the base directory; the base class writes nothing.
    virtual void writeToFile(const std::string& name);
    virtual void reset();
    virtual void startTimer();
    virtual void setTask(const TaskDescription* task);

    bool isActive() const { return active; }
    const TaskDescription* getTask() const { return task; }

    // Seconds of a monotonic wall clock; tests replace it (null restores the default).
    static void setClock(std::function<double()> clock);
    static double clockSeconds();
    static void setBaseDirectory(const std::string& directory);
    static const std::string& baseDirectory();
    // The header block of the four per-task logs, up to and including the empty line.
    static std::string headerBlock(const TaskDescription& task, bool wiimoteWording,
                                   const std::string& primitiveCounts = std::string());

protected:
    // Seconds since the task started; the first row starts the clock when the timer has not.
    double timeSinceStart();
    // Opens path (below the base directory) for writing, creating its folder.
    static bool writeFile(const std::string& path, const std::string& text, bool append);

    double now = 0.0;
    double taskStart = 0.0;
    bool started = false;
    bool active = false;
    const TaskDescription* task = nullptr;
};

// The first and last row times of a row logger, handed to the task logger.
struct ActionTimes {
    double first = 0.0;
    double last = 0.0;
};

class RowLogger : public Logger {
public:
    void writeToFile(const std::string& name) override;
    void reset() override;
    // Hands the first and last row times (when there are rows) to the task logger.
    virtual void report() {}
    std::size_t rowCount() const { return rows.size(); }
    // The file's whole text.
    virtual std::string text() const = 0;

protected:
    struct Row {
        double time;
        std::string fields;
    };
    virtual std::string folder() const = 0;
    bool times(ActionTimes& t) const;
    std::vector<Row> rows;
};

class DirectTouchLogger : public RowLogger {
public:
    static DirectTouchLogger& instance();
    // event: 0 down, 1 up, 2 move; table coordinates and contact size.
    void record(int event, int x, int y, int width, int height);
    void report() override;
    std::string text() const override;

protected:
    std::string folder() const override { return "directTouch"; }
};

class WiimoteLogger : public RowLogger {
public:
    static WiimoteLogger& instance();
    void record(const WiiCommunicationData& sample);
    void report() override;
    std::string text() const override;

protected:
    std::string folder() const override { return "wiimote"; }
};

class NunchukLogger : public RowLogger {
public:
    static NunchukLogger& instance();
    void record(const NunchukCommunicationData& sample);
    void report() override;
    std::string text() const override;
    // The Nunchuk menu option the joystick (X, Y in -1 ... 1) and buttons select: the number
    // text ("8\t") and the name.
    static std::pair<std::string, std::string> selectedOption(float x, float y, bool c, bool z);

protected:
    std::string folder() const override { return "nunchuk"; }
};

class PrimitiveLogger : public RowLogger {
public:
    static PrimitiveLogger& instance();
    void record(unsigned long id, bool inTargetArea, double x, double y, double width,
                double height, double orientationDegrees, bool erased);
    std::string text() const override;

protected:
    std::string folder() const override { return "primitives"; }
};

class TaskLogger : public Logger {
public:
    static TaskLogger& instance();
    void reset() override;
    void setNunchukTimes(ActionTimes t) { nunchuk = t; }
    void setWiimoteTimes(ActionTimes t) { wiimote = t; }
    void setDirectTouchTimes(ActionTimes t) { directTouch = t; }
    // Writes the overview row. A task numbered -1 starts a new overview: an older one is kept,
    // renamed "taskOverview-<yyyyMMdd-hhmmss>.txt".
    void writeToFile(const std::string& name) override;
    // The next overview row is marked unfinished (the program quit during the task).
    void setUnfinished(bool on) { unfinished = on; }
    // Seconds since 1970; tests replace it (null restores the default).
    static void setEpochClock(std::function<long long()> clock);

    static constexpr const char* kHeader =
        "Task Nr  \t Block Nr \t Input Device Nr \t Input Device Description \t Starts Sequence "
        "\t Ends Sequence \t Task Type \t Task Description \tFinish Timestamp \t Time of first "
        "action (in seconds) \t Time of last action (in seconds) \t Finish Time\n";
    std::string row() const;

private:
    ActionTimes nunchuk, wiimote, directTouch;
    bool unfinished = false;
};
