#include "Loggers.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::function<double()>& clockFunction()
{
    static std::function<double()> clock;
    return clock;
}

std::function<long long()>& epochFunction()
{
    static std::function<long long()> clock;
    return clock;
}

std::string& baseDir()
{
    static std::string dir = ".";
    return dir;
}

// Each value followed by a tab, in standard stream formatting.
class Fields {
public:
    template <class T> Fields& operator<<(const T& v)
    {
        out << v << "\t";
        return *this;
    }
    std::string str() const { return out.str(); }

private:
    std::ostringstream out;
};

} // namespace

// ---- Logger

void Logger::writeToFile(const std::string&) {}

void Logger::reset()
{
    now = 0.0;
    taskStart = 0.0;
    started = false;
    active = false;
    task = nullptr;
}

void Logger::startTimer()
{
    taskStart = clockSeconds();
    started = true;
}

void Logger::setTask(const TaskDescription* t)
{
    task = t;
    active = true;
}

void Logger::setClock(std::function<double()> clock) { clockFunction() = std::move(clock); }

double Logger::clockSeconds()
{
    if (clockFunction()) return clockFunction()();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Logger::setBaseDirectory(const std::string& directory) { baseDir() = directory; }
const std::string& Logger::baseDirectory() { return baseDir(); }

double Logger::timeSinceStart()
{
    now = clockSeconds();
    if (!started) {
        taskStart = now;
        started = true;
    }
    return now - taskStart;
}

bool Logger::writeFile(const std::string& path, const std::string& text, bool append)
{
    const std::filesystem::path full = std::filesystem::path(baseDir()) / path;
    std::error_code error;
    std::filesystem::create_directories(full.parent_path(), error);
    std::ofstream file(full, append ? std::ios::app : std::ios::trunc);
    if (!file) return false;
    file << text;
    return static_cast<bool>(file.flush());
}

std::string Logger::headerBlock(const TaskDescription& t, bool wiimoteWording,
                                const std::string& primitiveCounts)
{
    std::ostringstream out;
    out << "Task Nr: \t" << t.taskNumber << "\t";
    out << "Block Nr: \t " << t.blockNumber << " \t";
    out << inputDeviceHeaderText(t.inputDevice);
    out << "Starts Sequence: \t" << (t.startsSequence ? 1 : 0) << "\t";
    out << "Ends Sequence: \t" << (t.endsSequence ? 1 : 0) << "\t";
    out << (wiimoteWording ? taskTypeWiimoteText(t.taskType) : taskTypeTouchText(t.taskType));
    out << elementsTypeText(t.elementsType);
    out << "Initial Number of Primitives: \t" << t.elementsInitNumber << "\t";
    out << primitiveCounts;
    out << "Target Area Start X: \t" << t.startX[0] << "\t";
    out << "Target Area Start Y: \t" << t.startY[0] << "\t";
    out << "Target Area End X: \t" << t.endX[0] << "\t";
    out << "Target Area End Y: \t" << t.endY[0] << "\t";
    out << "Target Area Diameter: \t" << t.diameter[0] << "\t";
    out << "\n\n";
    return out.str();
}

// ---- Row loggers

void RowLogger::writeToFile(const std::string& name)
{
    report();
    if (!task) return;
    writeFile("logs/" + folder() + "/task" + name + ".txt", text(), false);
}

void RowLogger::reset()
{
    Logger::reset();
    rows.clear();
}

bool RowLogger::times(ActionTimes& t) const
{
    if (rows.empty()) return false;
    t.first = rows.front().time;
    t.last = rows.back().time;
    return true;
}

DirectTouchLogger& DirectTouchLogger::instance()
{
    static DirectTouchLogger logger;
    return logger;
}

void DirectTouchLogger::record(int event, int x, int y, int width, int height)
{
    const double t = timeSinceStart();
    rows.push_back({t, (Fields() << t << event << x << y << width << height).str()});
}

void DirectTouchLogger::report()
{
    ActionTimes t;
    if (times(t)) TaskLogger::instance().setDirectTouchTimes(t);
}

std::string DirectTouchLogger::text() const
{
    std::string out = task ? headerBlock(*task, false) : std::string();
    out += "time since start of task \t touch event \t pos x \t pos y \t touchWidth \t "
           "touchHeight \n";
    for (const Row& r : rows) out += r.fields + "\n";
    return out;
}

WiimoteLogger& WiimoteLogger::instance()
{
    static WiimoteLogger logger;
    return logger;
}

void WiimoteLogger::record(const WiiCommunicationData& s)
{
    const double t = timeSinceStart();
    Fields f;
    f << t << s.posX << s.posY << s.up << s.down << s.right << s.left << s.a << s.b << s.plus
      << s.minus << s.home << s.one << s.two << s.gx << s.gy << s.gz << s.pitch << s.roll;
    rows.push_back({t, f.str()});
}

void WiimoteLogger::report()
{
    ActionTimes t;
    if (times(t)) TaskLogger::instance().setWiimoteTimes(t);
}

std::string WiimoteLogger::text() const
{
    std::string out = task ? headerBlock(*task, true) : std::string();
    out += "time since start of task \t pos x \t pos y \t up button \t down \t right \t left \t "
           "a \t b \t plus \t minus \t home \t one \t two \t gx \t gy \t gz \t pitch \t roll \n";
    for (const Row& r : rows) out += r.fields + "\n";
    return out;
}

NunchukLogger& NunchukLogger::instance()
{
    static NunchukLogger logger;
    return logger;
}

std::pair<std::string, std::string> NunchukLogger::selectedOption(float x, float y, bool c,
                                                                  bool z)
{
    const bool noButton = !c && !z;
    if (noButton && -0.4f < x && x < 0.4f && (y > 0.8f || y < -0.8f)) {
        if (y > 0.8f) return {"8\t", "resize smaller"};
        return {"7\t", "resize bigger"};
    }
    if (noButton && x > 0.4f && -0.8f < y && y < 0.8f) {
        if (y > 0.4f) return {"6\t", "attract inwards"};
        if (y >= -0.4f) return {"4\t", "move follow"};
        return {"5\t", "repell outwards"};
    }
    if (noButton && x < -0.4f && -0.8f < y && y < 0.8f) {
        if (y > 0.4f) return {"3\t", "orient in a star shape"};
        if (y >= -0.4f) return {"1\t", "orient follow"};
        return {"2\t", "orient circular"};
    }
    if (c && z) return {"0\t", "erase"};
    return {"0\t", "create"};
}

void NunchukLogger::record(const NunchukCommunicationData& s)
{
    const double t = timeSinceStart();
    Fields f;
    f << t << s.joyX << s.joyY << s.c << s.z << s.gx << s.gy << s.gz << s.pitch << s.roll;
    const auto option = selectedOption(s.joyX, s.joyY, s.c, s.z);
    rows.push_back({t, f.str() + option.first + option.second});
}

void NunchukLogger::report()
{
    ActionTimes t;
    if (times(t)) TaskLogger::instance().setNunchukTimes(t);
}

std::string NunchukLogger::text() const
{
    std::string out = task ? headerBlock(*task, false) : std::string();
    out += "time since start of task \t joy x \t joy y \t c button \t z button \t gx \t gy \t gz "
           "\t pitch \t roll \t selected option number \t selected option\n";
    for (const Row& r : rows) out += r.fields + "\n";
    return out;
}

PrimitiveLogger& PrimitiveLogger::instance()
{
    static PrimitiveLogger logger;
    return logger;
}

void PrimitiveLogger::record(unsigned long id, bool inTargetArea, double x, double y,
                             double width, double height, double orientationDegrees, bool erased)
{
    const double t = timeSinceStart();
    Fields f;
    f << id << t << inTargetArea << x << y << width << height << orientationDegrees << erased;
    rows.push_back({t, f.str()});
}

std::string PrimitiveLogger::text() const
{
    std::size_t erased = 0;
    for (const Row& r : rows)
        if (r.fields.size() >= 2 && r.fields[r.fields.size() - 2] == '1') ++erased;
    std::ostringstream counts;
    counts << "Final Number of Primitives: \t" << rows.size() - erased << "\t"
           << "Number of Erased Primitives: \t" << erased << "\t";
    std::string out = task ? headerBlock(*task, true, counts.str()) : std::string();
    out += "prim id \t time since start of task \t inTargetArea \t pos x \t pos y \t width \t "
           "height \t orientation in degrees \t erased\n";
    for (const Row& r : rows) out += r.fields + "\n";
    return out;
}

// ---- Task logger

TaskLogger& TaskLogger::instance()
{
    static TaskLogger logger;
    return logger;
}

void TaskLogger::reset()
{
    Logger::reset();
    nunchuk = wiimote = directTouch = ActionTimes();
    unfinished = false;
}

void TaskLogger::setEpochClock(std::function<long long()> clock)
{
    epochFunction() = std::move(clock);
}

std::string TaskLogger::row() const
{
    if (!task) return std::string();
    const long long epoch =
        epochFunction() ? epochFunction()() : static_cast<long long>(std::time(nullptr));
    std::ostringstream out;
    out << task->taskNumber << "\t" << task->blockNumber << " \t"
        << inputDeviceOverviewText(task->inputDevice) << (task->startsSequence ? 1 : 0) << "\t"
        << (task->endsSequence ? 1 : 0) << "\t" << taskTypeOverviewText(task->taskType) << epoch
        << "\t";
    if (task->inputDevice == 0) out << directTouch.first << "\t" << directTouch.last << "\t";
    if (task->inputDevice == 1) out << wiimote.first << "\t" << wiimote.last << "\t";
    out << (clockSeconds() - taskStart) << "\t";
    if (unfinished) out << "unfinished\t";
    out << "\n";
    return out.str();
}

void TaskLogger::writeToFile(const std::string&)
{
    if (!task) return;
    const std::string name = "logs/taskOverview.txt";
    if (task->taskNumber == -1) {
        // A new overview; the rows of earlier runs are kept beside it.
        const std::filesystem::path full = std::filesystem::path(baseDir()) / name;
        std::error_code error;
        if (std::filesystem::exists(full, error)) {
            char stamp[32];
            const std::time_t t = std::time(nullptr);
            std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&t));
            std::filesystem::path kept = full.parent_path() /
                                         ("taskOverview-" + std::string(stamp) + ".txt");
            for (int i = 1; std::filesystem::exists(kept, error); ++i)
                kept = full.parent_path() /
                       ("taskOverview-" + std::string(stamp) + "-" + std::to_string(i) + ".txt");
            std::filesystem::rename(full, kept, error);
        }
        writeFile(name, std::string(kHeader) + row(), false);
    } else {
        writeFile(name, row(), true);
    }
}
