#pragma once
// One change of the function list as a value: what it touches, the state before and after.
// Applying it puts the after side into the document and keeps what it replaced on the before
// side, so the inverted change puts it back; the undo history keeps these.

#include "document/DataFun.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

enum class EFunChange { Add, Modify, Delete, Show, Color, Domain };

// One side of a change: only the members of its kind are used.
struct CFunState {
    std::string m_str;                   // Modify: expression text; Domain: bound text
    std::unique_ptr<CNodeList> m_pNodes; // Modify: the node list, held while not in the record
    double m_dBound = 0.0;               // Domain: bound value
    std::int32_t m_bShow = 0;            // Show
    COLORREF m_clr = 0;                  // Color
    std::unique_ptr<CDataFun> m_pFun;    // Add/Delete: the record while it is out of the list
};

struct CFunChange {
    EFunChange m_kind = EFunChange::Show;
    std::size_t m_nIndex = 0;
    int m_nSide = 0; // Domain: 0 lower bound, 1 upper bound
    // Set while the history undoes or redoes the change, for listeners that show it otherwise
    // than a change the user has just made.
    bool m_bReplay = false;
    CFunState m_before;
    CFunState m_after;

    // The change that undoes this one (Add and Delete trade places).
    void Invert();
};

class IFunListListener {
  public:
    virtual ~IFunListListener() = default;
    // Just before the change reaches the document: what is drawn still shows the old state.
    virtual void OnFunListChanging(const CFunChange&) {}
    virtual void OnFunListChanged(const CFunChange&) = 0;
    // After the undo history moved, took a step, was emptied or the saved state was marked.
    virtual void OnFunHistoryChanged() {}
};
