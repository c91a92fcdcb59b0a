#pragma once
// The document: all function records in list order.

#include "doc/DataFun.h"

#include <memory>
#include <vector>

class CCurvistDoc {
public:
    // Set whenever the contents are reset; the plot view clears them on its next full repaint.
    bool m_bResetOrigin = true;
    bool m_bRefillList = false;
    std::vector<std::unique_ptr<CDataFun>> m_arFuns;

    void DeleteContents() {
        m_arFuns.clear();
        m_bRefillList = true;
        m_bResetOrigin = true;
    }
    bool OnNewDocument() {
        DeleteContents();
        m_bModified = false;
        return true;
    }

    // Every change to the functions marks the document; New, Open and Save clear the mark.
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool modified = true) { m_bModified = modified; }

private:
    bool m_bModified = false;
};
