#include "core/WiiCommunicationData.h"

#include <gtest/gtest.h>

TEST(WiiCommunicationDataTest, ButtonCodes)
{
    using W = WiiCommunicationData;
    const int codes[] = {W::A, W::B, W::C, W::Z, W::PLUS, W::MINUS, W::HOME,
                         W::ONE, W::TWO, W::UP, W::DOWN, W::LEFT, W::RIGHT};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(codes[i], i);
}

TEST(WiiCommunicationDataTest, AssignmentCopiesTheWholeSampleIncludingTheNunchuk)
{
    WiiCommunicationData current;
    EXPECT_FALSE(current.hasNunchuk());
    EXPECT_EQ(current.roll, 0.0f);
    EXPECT_FALSE(current.nunchuk().z);
    current.wiiId = 3;
    current.posX = 120.5f;
    current.motion7 = 0.25f;
    current.roll = -20.0f;
    current.a = true;
    current.two = true;
    current.hasNunchuk(true);
    current.nunchuk().joyY = -0.5f;
    current.nunchuk().c = true;

    WiiCommunicationData previous;
    previous = current;
    current.posX = 0.0f;
    current.a = false;
    current.hasNunchuk(false);
    current.nunchuk().joyY = 0.0f;

    EXPECT_EQ(previous.wiiId, 3);
    EXPECT_EQ(previous.posX, 120.5f);
    EXPECT_EQ(previous.motion7, 0.25f);
    EXPECT_EQ(previous.roll, -20.0f);
    EXPECT_TRUE(previous.a && previous.two && !previous.b);
    EXPECT_TRUE(previous.hasNunchuk());
    EXPECT_EQ(previous.nunchuk().joyY, -0.5f);
    EXPECT_TRUE(previous.nunchuk().c);
    EXPECT_FALSE(previous.nunchuk().z);
}
