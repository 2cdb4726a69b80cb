#include "study/Loggers.h"
#include "study/TaskPopulation.h"
#include "study/TaskSequence.h"

#include "OutputCapture.h"

#include "core/Random.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <tuple>

namespace fs = std::filesystem;

namespace {

std::string readFile(const fs::path& p)
{
    std::ifstream in(p);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TaskDescription task(int number, int type, bool endsSequence = false)
{
    TaskDescription t;
    t.taskNumber = number;
    t.taskType = type;
    t.endsSequence = endsSequence;
    t.description = "Task " + std::to_string(number);
    return t;
}

struct Host : TaskHost {
    bool canvas = true;
    std::vector<std::string> calls;
    bool hasCanvas() const override { return canvas; }
    bool hasCornerMenu() const override { return false; }
    void clearTaskAreas() override { calls.push_back("clear"); }
    void setCanvasTask(unsigned int p) override { calls.push_back("canvas " + std::to_string(p)); }
    void buildTargetAreas(const TaskDescription& t) override
    {
        calls.push_back("areas " + std::to_string(t.taskNumber));
    }
    void recordPrimitives() override
    {
        calls.push_back("primitives");
        PrimitiveLogger::instance().record(7, true, 10.5, 20, 32, 32, 45, false);
    }
    int tableWidth() const override { return 1400; }
    int tableHeight() const override { return 1050; }
};

// A scratch logs directory and a hand-driven clock for every test; start() runs a task list.
class StudyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("npr-study-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        Logger::setBaseDirectory(dir.string());
        Logger::setClock([this] { return clock; });
        TaskLogger::setEpochClock([] { return 1700000000LL; });
        for (Logger* l : loggers()) l->reset();
    }
    void TearDown() override
    {
        sequence.reset();
        Logger::setClock(nullptr);
        TaskLogger::setEpochClock(nullptr);
        Logger::setBaseDirectory(".");
        for (Logger* l : loggers()) l->reset();
        fs::remove_all(dir);
    }
    static std::vector<Logger*> loggers()
    {
        return {&PrimitiveLogger::instance(), &DirectTouchLogger::instance(),
                &WiimoteLogger::instance(), &NunchukLogger::instance(), &TaskLogger::instance()};
    }
    TaskSequence& start(std::vector<TaskDescription> tasks)
    {
        sequence = std::make_unique<TaskSequence>(&host);
        sequence->setTasks(std::move(tasks));
        sequence->setTaskMode(true);
        return *sequence;
    }
    fs::path dir;
    double clock = 1000.0;
    Host host;
    std::unique_ptr<TaskSequence> sequence;
};

int fixedRand() { return 16384; }

TEST_F(StudyTest, SequenceEndThenTwoOrdinaryTasks)
{
    TaskSequence& s = start({task(0, 4, true), task(1, 2), task(2, 2)});
    OutputCapture out;
    // Space 1: the introduction.
    s.startTask();
    EXPECT_TRUE(s.isSequenceEnd());
    // Space 2: task 1 runs.
    s.startTask();
    DirectTouchLogger::instance().record(0, 1, 2, 3, 4);
    // Space 3: task 1 written (RegressionMissingLogFoldersAreCreated), task 2 runs.
    s.startTask();
    for (const char* f : {"directTouch", "wiimote", "nunchuk", "primitives"})
        EXPECT_TRUE(fs::exists(dir / "logs" / f / "task1.txt")) << f;
    EXPECT_FALSE(fs::exists(dir / "logs/wiimote/task2.txt"));
    // Space 4: task 2 written, all done.
    s.startTask();
    EXPECT_TRUE(s.allTasksDone());
    s.startTask(); // nothing more
    EXPECT_EQ(host.calls,
              std::vector<std::string>({"clear", "areas 0", "clear", "areas 1", "canvas 1", "clear",
                                        "primitives", "areas 2", "canvas 2", "clear",
                                        "primitives"}));
    const std::string printed = out.take();
    EXPECT_EQ(printed.substr(printed.size() - 42),
              "_curTaskNr: 3\n_taskDescriptions.size(): 3\n");
    const std::string overview = readFile(dir / "logs/taskOverview.txt");
    EXPECT_EQ(overview, "1\t0 \t0 \t Direct Touch + Nunchuk \t0\t0\t2 \t Orient strokes circular "
                        "\t1700000000\t0\t0\t0\t\n"
                        "2\t0 \t0 \t Direct Touch + Nunchuk \t0\t0\t2 \t Orient strokes circular "
                        "\t1700000000\t0\t0\t0\t\n");
}

TEST_F(StudyTest, NoTasksOrNoTaskModeDoNothingAndAClosingSequenceEndStaysOnShow)
{
    OutputCapture out;
    start({}).startTask();
    TaskSequence withTasks(&host);
    withTasks.setTasks({task(0, 4, true)});
    withTasks.startTask(); // task mode off
    EXPECT_EQ(out.take(), "");
    EXPECT_TRUE(host.calls.empty());

    TaskSequence& s = start({task(5, 0), task(9, 4, true)});
    for (int i = 0; i < 2; ++i) s.startTask();
    EXPECT_TRUE(s.isSequenceEnd());
    EXPECT_EQ(s.taskText(), "Task 9");
    const auto calls = host.calls.size();
    s.startTask();
    EXPECT_EQ(host.calls.size(), calls);
    EXPECT_FALSE(s.allTasksDone());
    EXPECT_TRUE(fs::exists(dir / "logs/wiimote/task5.txt"));
    EXPECT_FALSE(fs::exists(dir / "logs/wiimote/task9.txt"));
    // Shift+T rewinds; the closing text stays.
    s.setTaskMode(false);
    EXPECT_EQ(s.currentTaskNumber(), 0u);
    EXPECT_TRUE(s.isSequenceEnd());
}

TEST_F(StudyTest, RegressionRunningTaskRowsWrittenAtQuitFlaggedUnfinished)
{
    TaskDescription t = task(3, 0);
    t.inputDevice = 1;
    TaskSequence& s = start({task(-1, 4, true), t});
    OutputCapture out;
    s.startTask();
    s.startTask();
    clock += 1.5;
    WiiCommunicationData w;
    WiimoteLogger::instance().record(w);
    clock += 1.0;
    WiimoteLogger::instance().record(w);
    clock += 0.25;
    s.finishAtQuit();
    EXPECT_TRUE(fs::exists(dir / "logs/wiimote/task3.txt"));
    EXPECT_EQ(readFile(dir / "logs/taskOverview.txt"),
              "3\t0 \t1 \t WiiRemote + Nunchuk \t0\t0\t0 \t Create strokes \t1700000000\t1.5\t2.5\t"
              "2.75\tunfinished\t\n");
    s.finishAtQuit(); // written once
    EXPECT_EQ(WiimoteLogger::instance().rowCount(), 0u);
}

TEST_F(StudyTest, RegressionOverviewOfANewRunKeepsTheOldOne)
{
    fs::create_directories(dir / "logs");
    std::ofstream(dir / "logs/taskOverview.txt") << "earlier rows\n";
    TaskDescription t = task(-1, 3);
    TaskLogger& logger = TaskLogger::instance();
    logger.setTask(&t);
    logger.startTimer();
    clock += 2.0;
    logger.writeToFile("-1");
    EXPECT_EQ(readFile(dir / "logs/taskOverview.txt"),
              std::string(TaskLogger::kHeader) +
                  "-1\t0 \t0 \t Direct Touch + Nunchuk \t0\t0\t3 \t Orient strokes in a star "
                  "shape \t1700000000\t0\t0\t2\t\n");
    int kept = 0;
    for (const auto& e : fs::directory_iterator(dir / "logs"))
        if (e.path().filename().string().rfind("taskOverview-", 0) == 0) {
            ++kept;
            EXPECT_EQ(readFile(e.path()), "earlier rows\n");
        }
    EXPECT_EQ(kept, 1);
}

TEST_F(StudyTest, LogFilesByteForByte)
{
    TaskDescription t = task(12, 1);
    t.blockNumber = 2;
    t.inputDevice = 1;
    t.startsSequence = true;
    t.elementsType = 0;
    t.elementsInitNumber = 40;
    t.startX = {150, 0, 0, 0};
    t.startY = t.endY = {160, 0, 0, 0};
    t.endX = {830, 0, 0, 0};
    t.diameter = {101, 0, 0, 0};
    for (Logger* l : loggers()) {
        l->setTask(&t);
        l->startTimer();
    }
    clock += 0.125;
    DirectTouchLogger::instance().record(2, 300, 400, 12, 14);
    WiiCommunicationData w;
    w.posX = 12.5f;
    w.posY = 7;
    w.a = w.two = true;
    std::tie(w.gx, w.gy, w.gz, w.pitch, w.roll) = std::make_tuple(0.1f, 0.2f, 0.3f, 9.0f, 10.0f);
    WiimoteLogger::instance().record(w);
    w.nunchuk().joyX = 0.5f;
    w.nunchuk().joyY = 0.45f;
    w.nunchuk().gx = 1;
    NunchukLogger::instance().record(w.nunchuk());
    PrimitiveLogger::instance().record(3, false, 1.25, 2, 64, 64, 123.456789, true);
    PrimitiveLogger::instance().record(4, true, 5, 6, 32, 32, 0, false);
    const std::string head = "Task Nr: \t12\tBlock Nr: \t 2 \tInput Device: \t WiiRemote + "
                             "Nunchuk \tStarts Sequence: \t1\tEnds Sequence: \t0\t";
    const std::string tail = "Primitive Type: \t Points \tInitial Number of Primitives: \t40\t";
    const std::string area = "Target Area Start X: \t150\tTarget Area Start Y: \t160\tTarget "
                             "Area End X: \t830\tTarget Area End Y: \t160\tTarget Area "
                             "Diameter: \t101\t\n\n";
    EXPECT_EQ(DirectTouchLogger::instance().text(),
              head + "Task: \t  Orient strokes in a line \t" + tail + area +
                  "time since start of task \t touch event \t pos x \t pos y \t touchWidth \t "
                  "touchHeight \n0.125\t2\t300\t400\t12\t14\t\n");
    EXPECT_EQ(WiimoteLogger::instance().text(),
              head + "Task: \t Orient Elements linear/follow \t" + tail + area +
                  "time since start of task \t pos x \t pos y \t up button \t down \t right \t "
                  "left \t a \t b \t plus \t minus \t home \t one \t two \t gx \t gy \t gz \t "
                  "pitch \t roll \n0.125\t12.5\t7\t0\t0\t0\t0\t1\t0\t0\t0\t0\t0\t1\t0.1\t0.2\t0.3"
                  "\t9\t10\t\n");
    EXPECT_EQ(NunchukLogger::instance().text(),
              head + "Task: \t  Orient strokes in a line \t" + tail + area +
                  "time since start of task \t joy x \t joy y \t c button \t z button \t gx \t gy "
                  "\t gz \t pitch \t roll \t selected option number \t selected option\n"
                  "0.125\t0.5\t0.45\t0\t0\t1\t0\t0\t0\t0\t6\tattract inwards\n");
    EXPECT_EQ(PrimitiveLogger::instance().text(),
              head + "Task: \t Orient Elements linear/follow \t" + tail +
                  "Final Number of Primitives: \t1\tNumber of Erased Primitives: \t1\t" + area +
                  "prim id \t time since start of task \t inTargetArea \t pos x \t pos y \t width "
                  "\t height \t orientation in degrees \t erased\n"
                  "3\t0.125\t0\t1.25\t2\t64\t64\t123.457\t1\t\n4\t0.125\t1\t5\t6\t32\t32\t0\t0\t\n");
}

TEST_F(StudyTest, FirstRowStartsTheClockWhenTheTimerHasNot)
{
    DirectTouchLogger& l = DirectTouchLogger::instance();
    clock = 50.0;
    l.record(0, 0, 0, 0, 0);
    clock = 50.5;
    l.record(1, 0, 0, 0, 0);
    EXPECT_EQ(l.text(), "time since start of task \t touch event \t pos x \t pos y \t touchWidth "
                        "\t touchHeight \n0\t0\t0\t0\t0\t0\t\n0.5\t1\t0\t0\t0\t0\t\n");
}

TEST(NunchukOption, TableAtItsBoundaries)
{
    const struct {
        float x, y;
        bool c, z;
        const char *number, *name;
    } cases[] = {
        {0, 0.81f, false, false, "8\t", "resize smaller"},
        {0, 0.8f, false, false, "0\t", "create"},
        {-0.39f, -0.81f, false, false, "7\t", "resize bigger"},
        {0.41f, 0.41f, false, false, "6\t", "attract inwards"},
        {0.41f, 0.4f, false, false, "4\t", "move follow"},
        {0.41f, -0.41f, false, false, "5\t", "repell outwards"},
        {-0.41f, 0.79f, false, false, "3\t", "orient in a star shape"},
        {-0.41f, 0.0f, false, false, "1\t", "orient follow"},
        {-0.41f, -0.79f, false, false, "2\t", "orient circular"},
        {-0.41f, 0.0f, true, true, "0\t", "erase"},
    };
    for (const auto& c : cases) {
        const auto o = NunchukLogger::selectedOption(c.x, c.y, c.c, c.z);
        EXPECT_EQ(o.first, c.number) << "case " << (&c - cases);
        EXPECT_EQ(o.second, c.name) << "case " << (&c - cases);
    }
}

TEST(TargetAreaPlacement, ByTaskType)
{
    // rand 16384 draws the middle of each span.
    const struct {
        int type;
        int sx, sy, ex, ey;
    } cases[] = {
        {0, 370, 535, 1050, 535}, // a line
        {2, 500, 510, 520, 530},  // configured area kept
        {3, 710, 535, 710, 535},  // a disc
    };
    for (const auto& c : cases) {
        TaskDescription t;
        t.taskType = c.type;
        t.startX[0] = 500;
        t.startY[0] = 510;
        t.endX[0] = 520;
        t.endY[0] = 530;
        t.diameter[0] = 101;
        placeTargetArea(t, 1400, 1050, fixedRand);
        EXPECT_EQ(std::vector<int>({t.startX[0], t.startY[0], t.endX[0], t.endY[0]}),
                  std::vector<int>({c.sx, c.sy, c.ex, c.ey}))
            << "type " << c.type;
    }
    TaskDescription small;
    small.taskType = 0;
    small.startX[0] = 1;
    placeTargetArea(small, 800, 600, fixedRand); // too narrow for the stretch: kept
    EXPECT_EQ(small.startX[0], 1);
}

TEST(TargetAreas, DiscCapsuleAndScatter)
{
    TaskDescription t;
    t.numberOfTargetAreas = 2;
    t.startX = {100, 300, 0, 0};
    t.startY = {100, 100, 0, 0};
    t.endX = {100, 500, 0, 0};
    t.endY = {100, 100, 0, 0};
    t.diameter = {41, 40, 0, 0}; // r 20 for both
    const struct {
        double x, y;
        bool inside;
    } points[] = {{100, 120, true}, {114, 114, true}, {100, 121, false}, {300, 80, true},
                  {500, 120, true}, {400, 121, false}, {286, 86, true}, {285, 85, false},
                  {0, 0, false}};
    for (const auto& p : points)
        EXPECT_EQ(insideAnyTargetArea(t, p.x, p.y), p.inside) << p.x << ", " << p.y;
    EXPECT_FALSE(insideTargetArea(t, 2, 100, 100)); // beyond the task's areas

    // Seeded candidates: every kept primitive lies where its task wants it.
    tavlor::seedRand15(5);
    t.elementsInitNumber = 10;
    t.taskType = 3;
    t.diameter = {200, 200, 0, 0};
    const auto inside = scatterForTask(t, 800, 600, &tavlor::rand15);
    EXPECT_EQ(inside.size(), 20u);
    for (const TaskPoint& p : inside)
        EXPECT_TRUE(insideAnyTargetArea(t, p.x, p.y) ||
                    (p.x >= 200 && p.x <= 600 && p.y >= 0 && p.y <= 200)) << p.x << ", " << p.y;
    t.taskType = 0;
    const auto outside = scatterForTask(t, 800, 600, &tavlor::rand15);
    EXPECT_EQ(outside.size(), 20u);
    for (const TaskPoint& p : outside) EXPECT_FALSE(insideAnyTargetArea(t, p.x, p.y));
    t.elementsInitNumber = 0;
    EXPECT_TRUE(scatterForTask(t, 800, 600, &tavlor::rand15).empty());
}

TEST(TaskDescriptions, FromConfigurationWithDefaultsAndClampAndTextsOfTypesWithoutOwnWording)
{
    VeskConfiguration::Task c;
    c.number = {0, 1};
    c.type = {4, 3};
    c.description = {"Hello", "Paint"};
    c.numberOfTargetAreas = {1, 9};
    c.targetArea2Diameter = {10, 20};
    const auto tasks = taskDescriptionsFrom(c);
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[1].numberOfTargetAreas, 4);
    EXPECT_EQ(tasks[1].diameter[2], 500);
    EXPECT_EQ(taskTypeOverviewText(4), "4\t NO DESCRIPTION \t");
    EXPECT_EQ(taskTypeTouchText(4), "Task: \t4\t");
    EXPECT_EQ(taskTypeWiimoteText(5), "Task: \t5\t");
    EXPECT_EQ(elementsTypeText(2), "Task: \t2\t");
}

} // namespace
