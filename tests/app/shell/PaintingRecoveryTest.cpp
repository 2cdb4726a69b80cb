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

TEST(PaintingRecovery, OwnSlotsANormalEndLeavesNothingAndAnEndedProgramsCopyIsOffered)
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

    // Killed programs' copies, their locks gone with them: the one in this program's slot, and
    // one in another slot, found when this slot has none.
    touch(dir.filePath("recovery-1.nprpaint"));
    touch(dir.filePath("recovery-3.nprpaint"));
    PaintingRecovery next(dir.path());
    EXPECT_EQ(next.leftBehind(), dir.filePath("recovery-1.nprpaint"));
    next.discardLeftBehind();
    EXPECT_FALSE(QFile::exists(dir.filePath("recovery-1.nprpaint")));
    EXPECT_EQ(next.leftBehind(), dir.filePath("recovery-1.nprpaint"));
    EXPECT_FALSE(QFile::exists(dir.filePath("recovery-3.nprpaint")));
}

} // namespace
