#include "doc/CurvistDoc.h"

void CCurvistDoc::DeleteContents() {
    m_arFuns.clear();
    m_bRefillList = true;
    m_bResetOrigin = true;
}

bool CCurvistDoc::OnNewDocument() {
    DeleteContents();
    m_bModified = false;
    return true;
}

void CCurvistDoc::ReplaceContents(CFunArray funs) {
    DeleteContents();
    m_arFuns = std::move(funs);
    m_bModified = false;
}

CDataFun& CCurvistDoc::AppendFunction(std::unique_ptr<CDataFun> fun) {
    m_arFuns.push_back(std::move(fun));
    m_bModified = true;
    return *m_arFuns.back();
}
