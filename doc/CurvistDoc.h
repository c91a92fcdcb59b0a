#pragma once
// The document: all function records in list order.

#include "doc/DataFun.h"
#include "doc/FunListEditor.h"

#include <cstddef>
#include <memory>
#include <vector>

using CFunArray = std::vector<std::unique_ptr<CDataFun>>;

class CCurvistDoc {
  public:
    CCurvistDoc() = default;
    // The editor refers to this document, so it stays where it was made.
    CCurvistDoc(const CCurvistDoc&) = delete;
    CCurvistDoc& operator=(const CCurvistDoc&) = delete;

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

    // Every change a user makes goes through the editor, which tells the panel and the view.
    CFunListEditor& Editor() { return m_editor; }

    // Appends a record at the end as it is, telling no one: for building a document before
    // it is shown (readers, tests, benchmarks). Marks the document modified.
    CDataFun& AppendFunction(std::unique_ptr<CDataFun> fun);

    // Every change to the functions marks the document; New, Open and Save clear the mark.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

  private:
    bool m_bModified = false;
    CFunListEditor m_editor{*this};
};
