#pragma once
// The document: all function records in list order.

#include "doc/DataFun.h"

#include <cstddef>
#include <memory>
#include <vector>

using CFunArray = std::vector<std::unique_ptr<CDataFun>>;

class CCurvistDoc {
  public:
    // Set whenever the contents are reset; the plot view clears them on its next full repaint.
    bool m_bResetOrigin = true;
    bool m_bRefillList = false;
    CFunArray m_arFuns;

    // Deletes every record and asks the view to place the origin and refill the list anew.
    void DeleteContents();
    // New: an empty, unmodified document.
    bool OnNewDocument();
    // Open: takes over a completely read record array; the old records go.
    void ReplaceContents(CFunArray funs);

    // Appends a record at the end (the new function's index is the old size) and marks the
    // document modified.
    CDataFun& AppendFunction(std::unique_ptr<CDataFun> fun);
    // Removes record i (later ones move down by one); false for an index outside the array.
    bool RemoveFunction(std::size_t i);

    // Every change to the functions marks the document; New, Open and Save clear the mark.
    // Code that changes a record in place (text, colour, visibility, domain) calls
    // SetModifiedFlag itself.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  private:
    bool m_bModified = false;
};
