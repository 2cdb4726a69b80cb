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
        std::string last;
        while (auto back = s.undo("x")) last = *back;
        EXPECT_EQ(last, d.oldest);
    }
    // Redo mementos count too: the farthest goes when even the undo side is empty.
    UndoStack<std::string> s = stack(50, 6);
    s.push("aa");
    s.push("bb");
    ASSERT_TRUE(s.undo("cccc"));
    ASSERT_TRUE(s.undo("dddd"));
    EXPECT_LE(s.bytes(), 6u);
    EXPECT_EQ(s.redoDepth(), 1u);
    EXPECT_EQ(*s.newestRedo(), "dddd");
}
