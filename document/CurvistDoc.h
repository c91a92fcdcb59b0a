#pragma once
// The document: all function records in list order.

#include "document/DataFun.h"
#include "document/FunListEditor.h"

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

    // Whether the document differs from its file, as the editor's history says: a change
    // marks it, undoing back to the saved state clears it. SetModifiedFlag(false) marks the
    // present state as the file's (Save); SetModifiedFlag() marks a change made outside the
    // editor, which no undo takes back.
    bool IsModified() const { return m_editor.IsModified(); }
    void SetModifiedFlag(bool modified = true) {
        modified ? m_editor.MarkUnsaved() : m_editor.MarkSaved();
    }

  private:
    CFunListEditor m_editor{*this};
};
