#include "document/CurvistDoc.h"

void CCurvistDoc::DeleteContents() {
    // The steps name records by their place in a list that is gone.
    m_editor.ClearHistory();
    m_arFuns.clear();
    m_bRefillList = true;
    m_bResetOrigin = true;
}

bool CCurvistDoc::OnNewDocument() {
    DeleteContents();
    return true;
}

void CCurvistDoc::ReplaceContents(CFunArray funs) {
    DeleteContents();
    m_arFuns = std::move(funs);
}

CDataFun& CCurvistDoc::AppendFunction(std::unique_ptr<CDataFun> fun) {
    m_arFuns.push_back(std::move(fun));
    m_editor.MarkUnsaved();
    return *m_arFuns.back();
}
