#pragma once
// UndoStack: the undo and redo stacks of whole steps as mementos (the state to go back to), with
// a bound on the number of undo steps and on the memory of every memento kept.
//
// push(before) records a finished step by the state before it and forgets the redo side. undo
// takes the state now (which redo will bring back) and hands out the state to restore; redo is
// the mirror image. After every change the oldest undo steps are forgotten first, while there
// are more than maxSteps or while the mementos together hold more than maxBytes; then, if still
// over, the farthest redo steps.
//
// The memory of the kept mementos is measured as a whole by the caller's function, so mementos
// that share storage are counted once. No GL: tested with plain values.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

template <class Memento> class UndoStack {
public:
    // Bytes held by all the given mementos together.
    using Measure = std::function<std::size_t(const std::vector<const Memento*>&)>;

    UndoStack(std::size_t maxSteps, std::size_t maxBytes, Measure measure)
        : maxSteps_(maxSteps), maxBytes_(maxBytes), measure_(std::move(measure))
    {
    }

    void push(Memento before)
    {
        redo_.clear();
        undo_.push_back(std::move(before));
        trim();
    }
    // The state to restore, or nothing to undo; `now` becomes the next redo.
    std::optional<Memento> undo(Memento now) { return move(undo_, redo_, std::move(now)); }
    std::optional<Memento> redo(Memento now) { return move(redo_, undo_, std::move(now)); }

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoDepth() const { return undo_.size(); }
    std::size_t redoDepth() const { return redo_.size(); }
    // The state a new step's memento may share storage with: the last one pushed or restored.
    const Memento* newestUndo() const { return undo_.empty() ? nullptr : &undo_.back(); }
    const Memento* newestRedo() const { return redo_.empty() ? nullptr : &redo_.back(); }
    std::size_t bytes() const { return measure_(all()); }
    std::size_t maxSteps() const { return maxSteps_; }
    std::size_t maxBytes() const { return maxBytes_; }
    void clear()
    {
        undo_.clear();
        redo_.clear();
    }

private:
    std::optional<Memento> move(std::deque<Memento>& from, std::deque<Memento>& to, Memento now)
    {
        if (from.empty()) return std::nullopt;
        std::optional<Memento> target(std::move(from.back()));
        from.pop_back();
        to.push_back(std::move(now));
        trim();
        return target;
    }
    std::vector<const Memento*> all() const
    {
        std::vector<const Memento*> kept;
        for (const Memento& m : undo_) kept.push_back(&m);
        for (const Memento& m : redo_) kept.push_back(&m);
        return kept;
    }
    void trim()
    {
        while (undo_.size() > maxSteps_) undo_.pop_front();
        while (!undo_.empty() && bytes() > maxBytes_) undo_.pop_front();
        while (!redo_.empty() && bytes() > maxBytes_) redo_.pop_front();
    }

    std::size_t maxSteps_;
    std::size_t maxBytes_;
    Measure measure_;
    std::deque<Memento> undo_;
    std::deque<Memento> redo_;
};
