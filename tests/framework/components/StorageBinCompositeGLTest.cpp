#include "components/StorageBinCompositeGL.h"

#include "ComponentTestSupport.h"

#include <gtest/gtest.h>

namespace {

using StorageBinGLTest = ContainerGLTest;

TEST_F(StorageBinGLTest, ItemsTakeTheBinSizeAndReturnToTheirOwnWhenTakenOut)
{
    scene.vis->setAnimating(true);
    StorageBinCompositeGL* bin =
        scene.vis->createStorageBin(220, 220, true, true, 128, 128, 0.0, 6, 3, false, false);
    auto* item = new FieldFollower(scene.vis.get(), 40, 100, 140);
    scene.vis->addComponent(item, true);
    scene.frames(60);
    ASSERT_EQ(item->getParent(), bin);
    // Dropped where it lay, grown to the bin's size, not carried anywhere.
    EXPECT_DOUBLE_EQ(item->getXPos(), 100);
    EXPECT_NEAR(item->getWidth(), 200.0, 1e-9);

    // Taken out without animation, it is its old size at once.
    scene.vis->setAnimating(false);
    EXPECT_EQ(bin->removeChild(item), 1);
    EXPECT_DOUBLE_EQ(item->getWidth(), 40.0);
    EXPECT_EQ(item->getPassiveBuffer(ABSOLUTE_SIZE_BUFFER), nullptr);
}

} // namespace
