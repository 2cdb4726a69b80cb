#include "core/WiiCommunicationData.h"

#include <gtest/gtest.h>

TEST(WiiCommunicationDataTest, AssignmentCopiesTheWholeSampleIncludingTheNunchuk)
{
    WiiCommunicationData current, previous;
    current.a = true;
    current.hasNunchuk(true);
    current.nunchuk().joyY = -0.5f;
    previous = current;
    current.hasNunchuk(false);
    current.nunchuk().joyY = 0.0f;
    EXPECT_TRUE(previous.a && previous.hasNunchuk());
    EXPECT_EQ(previous.nunchuk().joyY, -0.5f);
}
