#include "core/WiiCommunicationData.h"

#include <gtest/gtest.h>

#include <type_traits>

TEST(WiiCommunicationDataTest, ButtonCodes)
{
    using W = WiiCommunicationData;
    const int codes[] = {W::A, W::B, W::C, W::Z, W::PLUS, W::MINUS, W::HOME,
                         W::ONE, W::TWO, W::UP, W::DOWN, W::LEFT, W::RIGHT};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(codes[i], i);
}

TEST(WiiCommunicationDataTest, StartsZeroed)
{
    const WiiCommunicationData d;
    EXPECT_EQ(d.wiiId, 0);
    EXPECT_EQ(d.posX, 0.0f);
    EXPECT_EQ(d.roll, 0.0f);
    EXPECT_FALSE(d.up);
    EXPECT_FALSE(d.two);
    EXPECT_FALSE(d.hasNunchuk());
    EXPECT_EQ(d.nunchuk().joyX, 0.0f);
    EXPECT_FALSE(d.nunchuk().z);
}

TEST(WiiCommunicationDataTest, AssignmentCopiesTheWholeSampleIncludingTheNunchuk)
{
    static_assert(std::is_trivially_copyable_v<WiiCommunicationData>);
    WiiCommunicationData current;
    current.wiiId = 3;
    current.posX = 120.5f;
    current.posY = 80.0f;
    current.gz = -1.0f;
    current.motion7 = 0.25f;
    current.pitch = 10.0f;
    current.roll = -20.0f;
    current.a = true;
    current.home = true;
    current.hasNunchuk(true);
    current.nunchuk().joyY = -0.5f;
    current.nunchuk().roll = 4.0f;
    current.nunchuk().c = true;

    WiiCommunicationData previous;
    previous = current;
    current.posX = 0.0f;
    current.a = false;
    current.hasNunchuk(false);
    current.nunchuk().c = false;

    EXPECT_EQ(previous.wiiId, 3);
    EXPECT_EQ(previous.posX, 120.5f);
    EXPECT_EQ(previous.posY, 80.0f);
    EXPECT_EQ(previous.gz, -1.0f);
    EXPECT_EQ(previous.motion7, 0.25f);
    EXPECT_EQ(previous.pitch, 10.0f);
    EXPECT_EQ(previous.roll, -20.0f);
    EXPECT_TRUE(previous.a);
    EXPECT_TRUE(previous.home);
    EXPECT_FALSE(previous.b);
    EXPECT_TRUE(previous.hasNunchuk());
    EXPECT_EQ(previous.nunchuk().joyY, -0.5f);
    EXPECT_EQ(previous.nunchuk().roll, 4.0f);
    EXPECT_TRUE(previous.nunchuk().c);
    EXPECT_FALSE(previous.nunchuk().z);
}
