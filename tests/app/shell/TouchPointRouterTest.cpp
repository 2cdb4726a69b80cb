// Touch points of a multi-touch screen become the two board pointers.
#include "shell/TouchPointRouter.h"

#include <gtest/gtest.h>

#include "TouchRecorder.h"

#include <string>
#include <vector>

namespace {

using Recorder = TouchRecorder;
using Events = std::vector<std::string>;

} // namespace

TEST(TouchPointRouter, TwoFingersGetTheirOwnPointersAndSizesAThirdIsIgnoredAndCancelReleasesAll)
{
    Recorder r;
    TouchPointRouter router(&r);
    router.pointPressed(11, 10, 20, 0, 0);
    router.pointPressed(12, 30, 40, 12, 14);
    router.pointPressed(13, 50, 60, 0, 0);
    router.pointMoved(13, 55, 65, 0, 0);
    router.pointMoved(11, 15, 20, 0, 0);
    router.pointMoved(11, 15, 20, 0, 0); // no movement: nothing to report
    router.pointReleased(11, 15, 21);
    router.pointPressed(14, 70, 80, 0, 0); // pointer 0 is free again
    EXPECT_EQ(r.take(), (Events{"down 10 20 p0", "size 12 14 p1", "down 30 40 p1", "move 15 20 p0",
                                "up 15 21 p0", "down 70 80 p0"}));
    // A size is reported when its rounded value changes.
    router.pointMoved(12, 31, 40, 12.2, 13.8);
    router.pointMoved(12, 32, 40, 40, 40);
    EXPECT_EQ(r.take(), (Events{"move 31 40 p1", "size 40 40 p1", "move 32 40 p1"}));
    // A cancel releases every point at its last position.
    router.cancelAll();
    EXPECT_EQ(r.take(), (Events{"up 32 40 p1", "up 70 80 p0"}));
    EXPECT_EQ(router.trackedPoints(), 0);
    router.pointReleased(14, 0, 0); // already gone: nothing happens
    EXPECT_TRUE(r.events.empty());
}
