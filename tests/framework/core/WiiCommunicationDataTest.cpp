#include "core/WiiCommunicationData.h"

#include <gtest/gtest.h>

TEST(WiiCommunicationDataTest, AssignmentCopiesTheWholeSampleIncludingTheNunchuk)
{
    WiiCommunicationData current;
    current.posX = 120.5f;
    current.a = true;
    current.hasNunchuk(true);
    current.nunchuk().joyY = -0.5f;

    WiiCommunicationData previous;
    previous = current;
    current.posX = 0.0f;
    current.a = false;
    current.hasNunchuk(false);
    current.nunchuk().joyY = 0.0f;

    EXPECT_EQ(previous.posX, 120.5f);
    EXPECT_TRUE(previous.a && !previous.b);
    EXPECT_TRUE(previous.hasNunchuk());
    EXPECT_EQ(previous.nunchuk().joyY, -0.5f);
}
