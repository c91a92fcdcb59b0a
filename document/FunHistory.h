#pragma once
// The undo history of the function list: the changes applied to the document in order, how
// many of them are applied now, and which of those positions matches the file on disk.

#include "document/FunChange.h"

#include <cstddef>
#include <deque>

class CFunHistory {
  public:
    // Steps kept; the oldest goes when one more comes. A few hundred small records at most.
    static constexpr std::size_t kLimit = 300;

    bool CanUndo() const { return m_nPos > 0; }
    bool CanRedo() const { return m_nPos < m_steps.size(); }
    // The step Undo takes back and the one Redo does again; only while CanUndo / CanRedo.
    CFunChange& UndoStep() { return m_steps[m_nPos - 1]; }
    CFunChange& RedoStep() { return m_steps[m_nPos]; }
    const CFunChange& UndoStep() const { return m_steps[m_nPos - 1]; }
    const CFunChange& RedoStep() const { return m_steps[m_nPos]; }
    // Move the position once the step has been reverted or applied again.
    void StepBack() {
        --m_nPos;
        m_bOpen = false;
    }
    void StepForward() {
        ++m_nPos;
        m_bOpen = false;
    }

    // Records an applied change as the newest step; the undone steps after the position go.
    // An open step takes later keystrokes of the same bound through Join.
    void Push(CFunChange change, bool bOpen);
    // Folds a typed bound into the open step of the same bound: the step keeps its first
    // "before" and takes this "after". A step that ends where it began goes. False when there
    // is no such step.
    bool Join(CFunChange& change);
    // The next change is a step of its own.
    void Close() { m_bOpen = false; }

    // The document matches the file at the present position (Save, New, Open), or at none.
    void MarkSaved() {
        m_nSaved = m_nPos;
        m_bOpen = false;
    }
    void MarkUnsaved() { m_nSaved = kNowhere; }
    bool IsModified() const { return m_nSaved != m_nPos; }

    // An empty history on a document that matches its file.
    void Clear();

  private:
    static constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

    std::deque<CFunChange> m_steps;
    std::size_t m_nPos = 0;   // steps applied: m_steps[0, m_nPos)
    std::size_t m_nSaved = 0; // the position that matches the file, or kNowhere
    bool m_bOpen = false;     // the newest step still takes keystrokes
};

// A change that leaves the record as it was (the same flag, colour or bound).
bool IsIdentity(const CFunChange& change);
