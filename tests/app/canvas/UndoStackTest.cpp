#include "canvas/UndoStack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Mementos are strings; their memory is their length.
UndoStack<std::string> stack(std::size_t steps, std::size_t bytes)
{
    return UndoStack<std::string>(steps, bytes, [](const std::vector<const std::string*>& all) {
        std::size_t n = 0;
        for (const std::string* s : all) n += s->size();
        return n;
    });
}

} // namespace

TEST(UndoStack, UndoAndRedoWalkTheStepsAndANewStepForgetsRedo)
{
    UndoStack<std::string> s = stack(10, 1000);
    EXPECT_FALSE(s.undo("now"));
    EXPECT_FALSE(s.redo("now"));
    s.push("a");
    s.push("ab");
    // The painting is "abc": undo gives "ab" back and keeps "abc" for redo.
    EXPECT_EQ(s.undo("abc"), std::optional<std::string>("ab"));
    EXPECT_EQ(s.undo("ab"), std::optional<std::string>("a"));
    EXPECT_FALSE(s.canUndo());
    EXPECT_EQ(s.redoDepth(), 2u);
    EXPECT_EQ(s.redo("a"), std::optional<std::string>("ab"));
    EXPECT_EQ(*s.newestUndo(), "a");
    EXPECT_EQ(*s.newestRedo(), "abc");
    s.push("ab"); // a new gesture
    EXPECT_FALSE(s.canRedo());
    EXPECT_EQ(s.undoDepth(), 2u);
}

TEST(UndoStack, TheOldestStepsGoFirstBeyondTheDepthOrTheMemory)
{
    const struct {
        const char* name;
        std::size_t steps, bytes;
        std::size_t depth;
        const char* oldest;
    } data[] = {
        {"depth bound", 20, 1000, 20, "10"},
        {"memory bound", 50, 20, 10, "20"},
        {"both roomy", 50, 1000, 30, "0"},
    };
    for (const auto& d : data) {
        SCOPED_TRACE(d.name);
        UndoStack<std::string> s = stack(d.steps, d.bytes);
        for (int i = 0; i < 30; ++i) s.push(std::to_string(i)); // "10" ... "29": 2 bytes each
        EXPECT_EQ(s.undoDepth(), d.depth);
        EXPECT_LE(s.bytes(), d.bytes);
        std::string last;
        while (auto back = s.undo("x")) last = *back;
        EXPECT_EQ(last, d.oldest);
    }
    // Redo mementos count too: the farthest goes when even the undo side is empty.
    UndoStack<std::string> s = stack(50, 6);
    s.push("aa");
    s.push("bb");
    ASSERT_TRUE(s.undo("cccc"));
    EXPECT_EQ(s.bytes(), 6u);
    ASSERT_TRUE(s.undo("dddd"));
    EXPECT_LE(s.bytes(), 6u);
    EXPECT_EQ(s.redoDepth(), 1u);
    EXPECT_EQ(*s.newestRedo(), "dddd");
}
