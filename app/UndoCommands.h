#pragma once
// The Edit menu's undo and redo follow the document's history: each is enabled only while
// there is a step to take back or do again, and its status-bar prompt names that step.

#include "document/FunChange.h"

#include <QObject>
#include <QString>

class CFunListEditor;
class QAction;

// What a step did, for a prompt: "删除函数 Y=sinx", "把函数 Y=x 修改为 Y=x^2".
QString StepName(const CFunChange& step, const CFunListEditor& editor);

class CUndoCommands : public QObject, public IFunListListener {
    Q_OBJECT
  public:
    // Both actions and the editor are borrowed; the editor outlives this object.
    CUndoCommands(CFunListEditor& editor, QAction* pUndo, QAction* pRedo, QObject* pParent);
    ~CUndoCommands() override;

    void OnFunListChanged(const CFunChange&) override {}
    void OnFunHistoryChanged() override { Update(); }
    void Update();

  private:
    CFunListEditor& m_editor;
    QAction* m_pUndo;
    QAction* m_pRedo;
    // The prompts shown while there is nothing to undo or redo.
    QString m_strUndoIdle;
    QString m_strRedoIdle;
};
