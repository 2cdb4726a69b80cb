#include "components/LabelLeafGL.h"

#include "ComponentTestSupport.h"
#include "OutputCapture.h"

#include <gtest/gtest.h>

namespace {

class LabelLeafGLTest : public ItemGLTest {
protected:
    LabelLeafGL* label(const char* font, const char* text, double textHeight, double padding)
    {
        const float black[3] = {0.0f, 0.0f, 0.0f};
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        return scene().vis->createLabel(textHeight, font, text, true, true, 128, 128, 0.0, black,
                                        white, padding);
    }
};

TEST_F(LabelLeafGLTest, MissingFontLeavesAnEmptyLabelAndSaysSoOnce)
{
    OutputCapture out;
    LabelLeafGL* l = label("nofont12", "Hello", 40, 4);
    scene().frameAfter(gl, 20);
    scene().frameAfter(gl, 20);
    EXPECT_EQ(out.take(), "WARNING: Fontnofont12 not found\n"
                          "label: font nofont12 could not be found. Did you load it? \n");
    EXPECT_FALSE(l->hasFont());
    EXPECT_TRUE(near(gl->pixel(128, 128), 0, 0, 0)) << "draws nothing";
}

TEST_F(LabelLeafGLTest, TextAndPaddingFillThePictureAreaAndDrawOnTheBackground)
{
    ASSERT_TRUE(scene().vis->loadFont(NPR_DATA_DIR "/fonts/arial.ttf", 32));
    LabelLeafGL* l = label("arial32", "Hello", 40, 4);
    ASSERT_TRUE(l->hasFont());

    scene().frameAfter(gl, 20);
    // Inside the padding only background; across the text both ink and background.
    EXPECT_TRUE(near(gl->pixel(128, static_cast<int>(128 - l->getHeight() * 0.48 + 2)), 255, 255,
                     255));
    int ink = 0;
    for (int x = static_cast<int>(128 - l->getWidth() * 0.4); x < 128 + l->getWidth() * 0.4; ++x)
        ink += gl->pixel(x, 128)[0] < 80;
    EXPECT_GT(ink, 3);

    // Labels are not written on: the pen corner moves them like the body.
    const unsigned int left = static_cast<unsigned int>(128 - l->getWidth() / 2 + 2);
    const unsigned int top = static_cast<unsigned int>(128 + l->getHeight() / 2 - 2);
    EXPECT_EQ(l->hitLocalBuffer(left, top, 0, 0), BasicImageGL::kMoveCode);
    EXPECT_EQ(l->releaseLocalBuffer(left, top, 0, 0), BasicImageGL::kMoveCode);
}

} // namespace
