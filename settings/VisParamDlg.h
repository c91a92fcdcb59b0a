#pragma once
// The display-parameter dialog "显示参数设置": reads the thirteen keys of
// "VisParam.ini" when it opens and writes them all on OK.

#include "settings/PlaceRules.h"
#include "settings/VisParam.h"

#include "platform/qt/MessageBox.h"

#include <QDialog>
#include <QMessageBox>
#include <string>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

class CVisParamDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CVisParamDlg(QWidget* pParent = nullptr,
                          std::string strIniPath = DefaultVisParamPath());
    // Reads location.strRead and writes location.strWrite.
    CVisParamDlg(QWidget* pParent, CVisParamLocation location);

    int DoModal() { return exec(); }
    void setVisible(bool bVisible) override;
    void accept() override { OnOK(); }

    // The values taken on OK, as written (steps in hundredths); the plot view applies these.
    const CVisParam& Params() const { return m_param; }
    // Set when OK could not write the file: the values still apply, the caller warns.
    bool m_bSaveFailed = false;
    // The file OK writes.
    const std::string& IniPath() const { return m_location.strWrite; }

    // One side of the plane: X (horizontal) or Y (vertical).
    struct CSide {
        QCheckBox* m_pAxis = nullptr;
        QCheckBox* m_pGrid = nullptr;
        QCheckBox* m_pScale = nullptr;
        QLineEdit* m_pSize = nullptr;
        QLabel* m_pSizeLabel = nullptr;
        QLineEdit* m_pStep = nullptr;
        QGroupBox* m_pPlaceGroup = nullptr;
        QButtonGroup* m_pPlace = nullptr; // ids are the placement codes 0..3
        // The checks and the placement as the controls show them.
        CVisAxis m_axis{0, 0, 0, 0, 0, -1};
    };
    const CSide& SideX() const { return m_x; }
    const CSide& SideY() const { return m_y; }
    QButtonGroup* OriginGroup() const { return m_pOrigin; }

    void OnCheckGridX() { OnCheckBox(m_x, EPlaceBox::Grid); }
    void OnCheckGridY() { OnCheckBox(m_y, EPlaceBox::Grid); }
    void OnCheckAxisX() { OnCheckBox(m_x, EPlaceBox::Axis); }
    void OnCheckAxisY() { OnCheckBox(m_y, EPlaceBox::Axis); }
    void OnCheckScaleX() { OnCheckBox(m_x, EPlaceBox::Scale); }
    void OnCheckScaleY() { OnCheckBox(m_y, EPlaceBox::Scale); }

  protected:
    void OnInitDialog();
    void OnOK();

  private:
    void BuildSide(CSide& side, bool bX);
    void WriteControls(const CVisParam& p);
    void WriteSide(CSide& side, const CVisAxis& axis);
    void ReadChecksAndPlaces();
    void WritePlace(CSide& side);
    // Takes the click into the members, then shows the rules' enabled states and placement.
    void OnCheckBox(CSide& side, EPlaceBox box);
    void EnableByRules(CSide& side);
    // A value out of range is refused with a message and the focus on its field; in a disabled
    // field it quietly takes back the value the dialog opened with.
    bool ReadSize(QLineEdit* pEdit, const char* szField, int nOpened, int& nValue);
    bool ReadStep(QLineEdit* pEdit, const char* szField, std::uint32_t nOpened,
                  std::uint32_t& nSpeed);
    void ShowMessage(QMessageBox::Icon icon, const QString& caption, const QString& text);

    CVisParamLocation m_location;
    CVisParam m_param;
    CSide m_x;
    CSide m_y;
    QButtonGroup* m_pOrigin = nullptr; // 1013..1021, ids are the origin codes 0..8
    int m_nOriginPlace = -1;
};
