#pragma once
// Crash recovery of the painting. A running program holds one of kSlots numbered slots in a
// folder (the user's data folder, QStandardPaths::AppDataLocation): a lock file and a recovery
// file, "recovery-<n>.lock" and "recovery-<n>.nprpaint". While the painting changes the owner
// rewrites the slot's recovery file (in the background, atomically); a normal end removes it
// and frees the slot. A recovery file found in a slot that was free at start was left by a run
// that did not end normally: leftBehind() names it, and the program offers to open it.
//
// Several programs at once take different slots, so none offers or removes another's file. The
// lock of a killed program is stale (its process is gone) and is taken over.
// Threads: one write at a time runs on a worker thread; everything else is the caller's.

#include "canvas/PaintingSnapshot.h"

#include <QString>

#include <future>
#include <memory>

class QLockFile;

class PaintingRecovery {
public:
    static constexpr int kSlots = 8;

    // Takes the first free slot of `folder` (made when missing).
    explicit PaintingRecovery(const QString& folder);
    // finish()
    ~PaintingRecovery();
    PaintingRecovery(const PaintingRecovery&) = delete;
    PaintingRecovery& operator=(const PaintingRecovery&) = delete;

    // Whether a slot was taken; otherwise problem() says why and nothing is ever written.
    bool isActive() const { return lock != nullptr; }
    QString problem() const { return whyInactive; }
    // The slot's recovery file.
    QString recoveryFile() const { return file; }
    // The slot's recovery file when a run that did not end normally left it, else empty. A
    // file in another slot whose program has ended since (a killed program can take a moment
    // to go) is moved into this slot first, unless this slot has one.
    QString leftBehind();
    // The left-behind file is not wanted: it goes.
    void discardLeftBehind();

    // Writes the snapshot to the recovery file on a worker thread; a write still running is
    // finished first. false when inactive.
    bool write(PaintingSnapshot snapshot);
    // Waits for a running write; its message, empty when it succeeded or none ran.
    QString waitForWrite();
    // The normal end: waits for a running write, removes the recovery file, frees the slot.
    void finish();

private:
    std::unique_ptr<QLockFile> lock;
    QString file;
    QString folder;
    QString left;
    QString whyInactive;
    std::future<QString> pending;
};
