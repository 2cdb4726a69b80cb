#include "core/FlatMap.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

// "key:value" pairs in iteration order.
std::string contents(const FlatMap<int, int>& map)
{
    std::string s;
    for (const auto& entry : map)
        s += (s.empty() ? "" : " ") + std::to_string(entry.first) + ":" + std::to_string(entry.second);
    return s;
}

} // namespace

TEST(FlatMapTest, IteratesInKeyOrderWithOneEntryPerKey)
{
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> writes;
        std::vector<int> erased;
        std::size_t erasedCount;
        const char* expected;
    } rows[] = {
        {"mixed writes", {{5, 50}, {1, 10}, {9, 90}, {3, 30}}, {}, 0, "1:10 3:30 5:50 9:90"},
        {"rewrite keeps one entry", {{2, 20}, {1, 10}, {2, 21}}, {}, 0, "1:10 2:21"},
        {"erase first and last", {{1, 10}, {2, 20}, {3, 30}}, {3, 1}, 2, "2:20"},
        {"erase missing and twice", {{1, 10}, {3, 30}}, {0, 2, 3, 3}, 1, "1:10"},
    };
    for (const auto& row : rows) {
        FlatMap<int, int> map;
        for (const auto& w : row.writes) map[w.first] = w.second;
        std::size_t erased = 0;
        for (int key : row.erased) erased += map.erase(key);
        EXPECT_EQ(erased, row.erasedCount) << row.name;
        EXPECT_EQ(contents(map), row.expected) << row.name;
    }
}

TEST(FlatMapTest, FindsOnlyPresentKeysAndErasesByPosition)
{
    FlatMap<int, int> map;
    EXPECT_TRUE(map.find(1) == map.end());
    for (int key : {40, 10, 30, 20}) map[key] = key + 1;
    for (int missing : {0, 15, 50}) {
        EXPECT_TRUE(map.find(missing) == map.end()) << missing;
        EXPECT_EQ(map.count(missing), 0u) << missing;
    }
    map.find(10)->second = 7;
    EXPECT_EQ(map.count(30), 1u);
    // Erasing by position answers the entry after it.
    EXPECT_EQ(map.erase(map.find(20))->first, 30);
    const auto afterLast = map.erase(map.find(40));
    EXPECT_TRUE(afterLast == map.end());
    // A missing key read through [] is inserted in place, value-initialised.
    EXPECT_EQ(map[25], 0);
    EXPECT_EQ(contents(map), "10:7 25:0 30:31");
}
