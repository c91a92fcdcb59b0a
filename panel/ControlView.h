#pragma once
// The function panel: the list of functions, add/modify/delete, and the
// properties of the selected function. Every change goes at once through the document's
// editor, which tells the list here and the plot view; row i of the list is record i. The
// panel knows no view: the wheel leaves it as zoom steps, and a rebuilt list comes in as rows.

#include "document/FunListEditor.h"
#include "expr/DataAnalyzeFun.h"
#include "platform/Dc.h"
#include "platform/WheelSteps.h"

#include <QWidget>
#include <memory>
#include <string>

class CCurvistDoc;
class CColorCombo;
class CColorListBox;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

class CControlView : public QWidget, public IFunListListener {
    Q_OBJECT
  public:
    explicit CControlView(QWidget* pParent = nullptr);
    ~CControlView() override;

    // Borrowed; registers the panel as a listener of the document's editor (the destructor
    // unregisters it, so the document outlives the panel or is detached first by
    // Attach(nullptr)). Calls OnInitialUpdate once.
    void Attach(CCurvistDoc* pDoc);
    // Fills the colour chooser with the nine colours in table order.
    void OnInitialUpdate();

    // --- The list rebuilt after New and Open ---------------------------------------------------
    void DeleteAllRows();
    // text is "Y=" followed by the record's raw code-page-936 text.
    void AddItem(const std::string& text, bool bShow, COLORREF clr);
    void EnableProperties(bool bEnable);

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
    // Shows a hidden selected function or hides a shown one, as a click on its check box.
    void OnToggleShow();
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
    // One zoom step of the plane (1 in, -1 out) for each notch of the wheel over the panel.
    void wheelStep(int nDirection);
    // A short note for the status bar: why a choice was refused.
    void statusMessage(const QString& text);

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
    // Runs the input dialog preset with `preset` (CP936); on OK returns true with the typed
    // text and its compiled node list.
    bool RunInputDialog(const std::string& preset, std::string& text,
                        std::unique_ptr<CNodeList>& nodes);
    void SelectRow(int nRow);
    void ShowReplayed(const CFunChange& change);
    void TurnOffEnclosingScrollBars();

    CCurvistDoc* m_pDoc = nullptr;
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
