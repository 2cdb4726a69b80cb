#include "PaintingRecovery.h"

#include "canvas/PaintingFile.h"

#include <QDir>
#include <QFile>
#include <QLockFile>

PaintingRecovery::PaintingRecovery(const QString& folder_) : folder(folder_)
{
    if (!QDir().mkpath(folder)) {
        whyInactive = QString("Crash recovery is off: cannot make the folder \"%1\".").arg(folder);
        return;
    }
    for (int n = 1; n <= kSlots; ++n) {
        auto candidate = std::make_unique<QLockFile>(QDir(folder).filePath(QString("recovery-%1.lock").arg(n)));
        // A lock whose process is gone counts as stale and is taken over.
        if (!candidate->tryLock(0)) continue;
        lock = std::move(candidate);
        file = QDir(folder).filePath(QString("recovery-%1.%2").arg(n).arg(painting::kSuffix));
        if (QFile::exists(file)) left = file;
        return;
    }
    whyInactive = QString("Crash recovery is off: %1 programs already use \"%2\".").arg(kSlots).arg(folder);
}

PaintingRecovery::~PaintingRecovery() { finish(); }

QString PaintingRecovery::leftBehind()
{
    if (!lock || !left.isEmpty()) return left;
    for (int n = 1; n <= kSlots; ++n) {
        const QString other = QDir(folder).filePath(QString("recovery-%1.%2").arg(n).arg(painting::kSuffix));
        if (other == file || !QFile::exists(other)) continue;
        QLockFile otherLock(QDir(folder).filePath(QString("recovery-%1.lock").arg(n)));
        if (!otherLock.tryLock(0)) continue; // its program still runs
        if (QFile::rename(other, file)) {
            left = file;
            break;
        }
    }
    return left;
}

void PaintingRecovery::discardLeftBehind()
{
    if (left.isEmpty()) return;
    QFile::remove(left);
    left.clear();
}

bool PaintingRecovery::write(PaintingSnapshot snapshot)
{
    if (!lock) return false;
    waitForWrite();
    // The snapshot's bands are shared read-only: the worker reads them while painting goes on.
    pending = std::async(std::launch::async, [path = file, s = std::move(snapshot)] {
        QString error;
        painting::save(s, path, &error);
        return error;
    });
    return true;
}

QString PaintingRecovery::waitForWrite()
{
    if (!pending.valid()) return QString();
    return pending.get();
}

void PaintingRecovery::finish()
{
    waitForWrite();
    if (!lock) return;
    QFile::remove(file);
    left.clear();
    lock->unlock();
    lock.reset();
}
