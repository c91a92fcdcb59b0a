#pragma once
// Every change to the function list goes through here: the editor applies it to the document,
// keeps it in the undo history and tells its listeners. The history also decides whether the
// document differs from its file.

#include "document/DataFun.h"
#include "document/FunChange.h"
#include "document/FunHistory.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class CCurvistDoc;

class CFunListEditor {
  public:
    explicit CFunListEditor(CCurvistDoc& doc) : m_doc(doc) {}
    CFunListEditor(const CFunListEditor&) = delete;
    CFunListEditor& operator=(const CFunListEditor&) = delete;

    // Listeners are told in the order they were added; bFirst puts one before the others.
    void AddListener(IFunListListener* pListener, bool bFirst = false);
    void RemoveListener(IFunListListener* pListener);

    // Appends a record in the first colour of the table that no function has (entry 0 when all
    // are taken), visible and unbounded; returns its index.
    std::size_t Add(std::string text, std::unique_ptr<CNodeList> nodes);
    // New text and node list for record i; colour, visibility and domain stay.
    bool Modify(std::size_t i, std::string text, std::unique_ptr<CNodeList> nodes);
    bool Delete(std::size_t i);
    bool SetShow(std::size_t i, bool bShow);
    // Refused (false, no change) when any function, record i included, has that colour.
    bool SetColor(std::size_t i, COLORREF clr);
    // nSide 0 lower, 1 upper; the number follows from the text by the domain-text rule.
    bool SetDomain(std::size_t i, int nSide, std::string text);
    // A bound as it is being typed: applied like SetDomain, but each keystroke joins the step
    // of the one before on the same bound until EndTyping, so that the whole edit is undone at
    // once. A change that puts back what the record held is no step at all.
    bool TypeDomain(std::size_t i, int nSide, std::string text);
    void EndTyping();

    // --- The undo history -----------------------------------------------------------------
    bool CanUndo() const { return m_history.CanUndo(); }
    bool CanRedo() const { return m_history.CanRedo(); }
    // The steps Undo and Redo would take; null when there is none.
    const CFunChange* UndoStep() const { return CanUndo() ? &m_history.UndoStep() : nullptr; }
    const CFunChange* RedoStep() const { return CanRedo() ? &m_history.RedoStep() : nullptr; }
    // Take back the newest applied step / apply the newest undone one, telling the listeners
    // as the change itself does (with m_bReplay set). False when there is none.
    bool Undo();
    bool Redo();
    // The record a step concerns, wherever it is now: in the list or held by the step.
    const CDataFun* FunOf(const CFunChange& step) const;

    // The document matches its file now (Save), or at no step of the history (a change made
    // outside the editor).
    void MarkSaved();
    void MarkUnsaved();
    bool IsModified() const { return m_history.IsModified(); }
    // New and Open: no steps, and the document matches its file.
    void ClearHistory();

  private:
    bool Valid(std::size_t i) const;
    CFunChange DomainChange(std::size_t i, int nSide, std::string text) const;
    // Applies a change and records it; bTyped lets it join the open step.
    void Perform(CFunChange change, bool bTyped = false);
    // Apply puts a change's after side into the document, Revert its before side; both tell
    // the listeners. A change whose index does not fit the document is refused.
    bool Apply(CFunChange& change);
    bool Revert(CFunChange& change);
    void Exchange(CFunChange& change);
    void HistoryChanged();

    CCurvistDoc& m_doc;
    std::vector<IFunListListener*> m_listeners;
    CFunHistory m_history;
};

// The panel's row text: "Y=" followed by the record's text.
std::string FunRowText(const CDataFun& fun);
