#pragma once
// The function panel: the list of functions, add/modify/delete, and the
// properties of the selected function. Every change goes at once through the document's
// editor, which tells the list here and the plot view; row i of the list is record i.

#include "document/FunListEditor.h"
#include "expr/DataAnalyzeFun.h"
#include "platform/Dc.h"
#include "platform/WheelSteps.h"
#include "view/ViewHost.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class CCurvistDoc;
class CCurvistView;
class CColorCombo;
class CColorListBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class CControlView : public QWidget, public IFunListSink, public IFunListListener {
    Q_OBJECT
  public:
    explicit CControlView(QWidget* pParent = nullptr);
    ~CControlView() override;

    // Borrowed pointers; registers the panel as the view's list and as a listener of the
    // document's editor (the destructor unregisters both, so the view and the document outlive
    // the panel or are detached first by Attach(nullptr, nullptr)).
    // Calls OnInitialUpdate once.
    void Attach(CCurvistDoc* pDoc, CCurvistView* pView);
    // Fills the colour chooser with the nine colours in table order.
    void OnInitialUpdate();

    // Runs the input dialog preset with `preset` (CP936); on OK returns true with the typed
    // text and its compiled node list. Tests replace the modal dialog through this.
    using InputRunner = std::function<bool(const std::string& preset, std::string& text,
                                           std::unique_ptr<CNodeList>& nodes)>;
    void SetInputRunner(InputRunner runner) { m_runInput = std::move(runner); }

    // --- IFunListSink: the view's list rebuild after New and Open ----------------------------
    void DeleteAllRows() override;
    void AddItem(const std::string& text, bool bShow, COLORREF clr) override;
    void EnableProperties(bool bEnable) override;

    // --- IFunListListener: the rows follow every change of the function list ----------------
    void OnFunListChanged(const CFunChange& change) override;

    // Controls, for the frame and for tests.
    CColorListBox* ListFun() const { return m_listFun; }
    CColorCombo* ComboColor() const { return m_comboColor; }
    QComboBox* ComboMin() const { return m_comboMin; }
    QComboBox* ComboMax() const { return m_comboMax; }
    QCheckBox* CheckShow() const { return m_checkShow; }
    QPushButton* ButtonAdd() const { return m_btnAdd; }
    QPushButton* ButtonModify() const { return m_btnModify; }
    QPushButton* ButtonDelete() const { return m_btnDelete; }
    // The selected row, or -1.
    int SelectedRow() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return QSize(0, 0); }

  public slots:
    void OnButtonAdd();
    void OnButtonModify();
    void OnButtonDelete();
    void OnCheckShow();
    void OnSelchangeListFun();
    void OnSelchangeComboColor();
    void OnEditchangeComboMin();
    void OnEditchangeComboMax();
    void OnSelchangeComboMin();
    void OnSelchangeComboMax();
    void OnEndTyping();
    // A vertical wheel delta from the panel or its list: one zoom step per 120 units.
    void OnMouseWheel(int nDelta);

  signals:
    // After every zoom step by the wheel; the frame shows it in its scale pane.
    void scaleChanged(int nScale);

  protected:
    void wheelEvent(QWheelEvent* pEvent) override;
    bool event(QEvent* pEvent) override;
    // Wheel turns over the controls come here.
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

  private:
    // The data exchange of the three bound members; texts are CP936 in the members.
    void ReadControls();
    void WriteControls();
    void OnEditchangeBound(QComboBox* pCombo, std::string& strBound, int nSide);
    void OnSelchangeBound(QComboBox* pCombo, int nSide);
    bool RunInputDialog(const std::string& preset, std::string& text,
                        std::unique_ptr<CNodeList>& nodes);
    void SelectRow(int nRow);
    void ShowReplayed(const CFunChange& change);
    void TurnOffEnclosingScrollBars();

    CCurvistDoc* m_pDoc = nullptr;
    CCurvistView* m_pView = nullptr;
    InputRunner m_runInput;
    CWheelSteps m_wheel;

    QComboBox* m_comboMax = nullptr;
    QComboBox* m_comboMin = nullptr;
    CColorCombo* m_comboColor = nullptr;
    CColorListBox* m_listFun = nullptr;
    bool m_bCheckShow = false;
    std::string m_strDomainMin;
    std::string m_strDomainMax;

    QPushButton* m_btnAdd = nullptr;
    QPushButton* m_btnModify = nullptr;
    QPushButton* m_btnDelete = nullptr;
    QGroupBox* m_groupProps = nullptr;
    QCheckBox* m_checkShow = nullptr;
    QLabel* m_labelColor = nullptr;
    QGroupBox* m_groupDomain = nullptr;
    QLabel* m_labelTo = nullptr;
    QSize m_sizeTemplate;
};
