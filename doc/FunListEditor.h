#pragma once
// Every change to the function list goes through here: the editor applies it to the document,
// marks the document modified and tells its listeners. Each change is a value that can be
// applied and reverted again, which is what an undo history keeps.

#include "doc/DataFun.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CCurvistDoc;

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
};

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

    // Applies a change made by the operations above, or one reverted before; Revert undoes an
    // applied one. Both mark the document modified and tell the listeners; a change whose
    // index does not fit the document (it was made on other contents) is refused.
    bool Apply(CFunChange& change);
    bool Revert(CFunChange& change);

    // The last change applied, for whoever keeps a history.
    CFunChange& LastChange() { return m_last; }

  private:
    bool Valid(std::size_t i) const;
    void Exchange(CFunChange& change);
    void Perform(CFunChange change);

    CCurvistDoc& m_doc;
    std::vector<IFunListListener*> m_listeners;
    CFunChange m_last;
};

// The panel's row text: "Y=" followed by the record's text.
std::string FunRowText(const CDataFun& fun);
