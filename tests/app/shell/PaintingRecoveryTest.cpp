// Recovery slots: which file a start offers, and what a normal end leaves.
#include "shell/PaintingRecovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

TEST(PaintingRecovery, ProgramsTakeTheirOwnSlotsAndANormalEndLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString folder = dir.filePath("nprtable");
    PaintingRecovery first(folder);
    ASSERT_TRUE(first.isActive()) << first.problem().toStdString();
    PaintingRecovery second(folder);
    EXPECT_EQ(first.recoveryFile(), folder + "/recovery-1.nprpaint");
    EXPECT_EQ(second.recoveryFile(), folder + "/recovery-2.nprpaint");
    // A running program's copy is nobody's to offer.
    ASSERT_TRUE(second.write(PaintingSnapshot()));
    EXPECT_EQ(second.waitForWrite(), QString());
    EXPECT_TRUE(QFile::exists(second.recoveryFile()));
    EXPECT_EQ(first.leftBehind(), QString());

    second.finish();
    EXPECT_FALSE(second.isActive());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"recovery-1.lock"});
    EXPECT_FALSE(second.write(PaintingSnapshot()));
}

TEST(PaintingRecovery, ACopyWhoseProgramEndedIsLeftBehind)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A killed program's copy, its lock gone with it.
    touch(dir.filePath("recovery-1.nprpaint"));
    {
        PaintingRecovery next(dir.path());
        EXPECT_EQ(next.leftBehind(), dir.filePath("recovery-1.nprpaint"));
        next.discardLeftBehind();
        EXPECT_EQ(next.leftBehind(), QString());
        EXPECT_FALSE(QFile::exists(dir.filePath("recovery-1.nprpaint")));
    }

    // One that was still going when this program started is found once it has gone.
    auto going = std::make_unique<PaintingRecovery>(dir.path());
    touch(going->recoveryFile());
    PaintingRecovery next(dir.path());
    EXPECT_EQ(next.leftBehind(), QString());
    // Gone without its normal end: the lock is released, the copy stays.
    const QString copy = going->recoveryFile();
    QFile::copy(copy, copy + ".kept");
    going.reset();
    QFile::rename(copy + ".kept", copy);
    EXPECT_EQ(next.leftBehind(), next.recoveryFile());
    EXPECT_TRUE(QFile::exists(next.recoveryFile()));
    EXPECT_FALSE(QFile::exists(copy));
}

} // namespace
