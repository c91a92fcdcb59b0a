#include "app/UndoCommands.h"

#include "document/ColorTable.h"
#include "document/FunListEditor.h"
#include "platform/qt/QtStrings.h"

#include <QAction>

namespace {

QString Row(const CDataFun* fun) {
    return fun ? U("Y=") + FromCp936Elided(fun->m_strFun) : QString();
}

QString ColorName(COLORREF clr) {
    const int i = ColorIndexOf(clr);
    return i < 0 ? QString() : U(kColorTable[static_cast<std::size_t>(i)].m_szName);
}

} // namespace

QString StepName(const CFunChange& step, const CFunListEditor& editor) {
    const QString fun = Row(editor.FunOf(step));
    switch (step.m_kind) {
    case EFunChange::Add:
        return U("添加函数 ") + fun;
    case EFunChange::Delete:
        return U("删除函数 ") + fun;
    case EFunChange::Modify:
        return U("把函数 Y=") + FromCp936Elided(step.m_before.m_str) + U(" 修改为 Y=") +
               FromCp936Elided(step.m_after.m_str);
    case EFunChange::Show:
        return (step.m_after.m_bShow ? U("显示函数 ") : U("隐藏函数 ")) + fun;
    case EFunChange::Color: {
        const QString name = ColorName(step.m_after.m_clr);
        return name.isEmpty() ? U("更改函数 ") + fun + U(" 的颜色")
                              : U("把函数 ") + fun + U(" 的颜色改为") + name;
    }
    case EFunChange::Domain:
        return U("把函数 ") + fun +
               (step.m_nSide == 0 ? U(" 的定义域下限改为 ") : U(" 的定义域上限改为 ")) +
               FromCp936Elided(step.m_after.m_str);
    }
    return {};
}

CUndoCommands::CUndoCommands(CFunListEditor& editor, QAction* pUndo, QAction* pRedo,
                             QObject* pParent)
    : QObject(pParent), m_editor(editor), m_pUndo(pUndo), m_pRedo(pRedo),
      m_strUndoIdle(pUndo->statusTip()), m_strRedoIdle(pRedo->statusTip()) {
    m_editor.AddListener(this);
    Update();
}

CUndoCommands::~CUndoCommands() {
    m_editor.RemoveListener(this);
}

void CUndoCommands::Update() {
    const CFunChange* pUndo = m_editor.UndoStep();
    const CFunChange* pRedo = m_editor.RedoStep();
    m_pUndo->setEnabled(pUndo != nullptr);
    m_pRedo->setEnabled(pRedo != nullptr);
    m_pUndo->setStatusTip(pUndo ? U("撤销") + StepName(*pUndo, m_editor) : m_strUndoIdle);
    m_pRedo->setStatusTip(pRedo ? U("重做") + StepName(*pRedo, m_editor) : m_strRedoIdle);
}
