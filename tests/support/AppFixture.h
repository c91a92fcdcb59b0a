#pragma once
// A headless application with its main window shown offscreen: recent-file list and display
// parameters in a temporary directory, message boxes and dialogs scripted.

#include "app/AppMessage.h"
#include "app/CurvistApp.h"
#include "app/MainFrame.h"
#include "app/PlotWindow.h"
#include "expr/InputFunDlg.h"
#include "panel/ColorListBox.h"
#include "panel/ControlView.h"

#include "platform/qt/ModalDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <type_traits>

class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        SetMessageHook([this](QMessageBox& box) {
            m_messages.push_back(box.text());
            if (m_answers.empty()) return QMessageBox::Ok;
            const auto a = m_answers.front();
            m_answers.pop_front();
            return a;
        });
        Start();
    }
    void TearDown() override {
        m_app.reset();
        SetMessageHook({});
        SetDialogHook({});
        SetPopupHook({});
    }

    // A fresh application, as after a restart.
    void Start() {
        m_app.reset();
        m_app = std::make_unique<CCurvistApp>(Path("VisParam.ini").toStdString());
        SetDialogHook([this](QDialog& dlg) { return m_onDialog ? m_onDialog(dlg) : Answer(dlg); });
        ASSERT_TRUE(m_app->InitInstance({}, false));
        Frame()->resize(800, 600);
        Frame()->show();
    }

    // The scripted answers: the file dialogs take m_names, the input dialog m_typed (invalid
    // text is refused as by OK); any other dialog is cancelled.
    int Answer(QDialog& dlg) {
        if (auto* pFile = qobject_cast<QFileDialog*>(&dlg)) {
            m_dialogs.push_back(pFile->acceptMode() == QFileDialog::AcceptSave);
            if (m_names.empty() || m_names.front().isEmpty()) {
                if (!m_names.empty()) m_names.pop_front();
                return QDialog::Rejected;
            }
            SelectTyped(*pFile, m_names.front());
            m_names.pop_front();
            return QDialog::Accepted;
        }
        if (auto* pInput = qobject_cast<CInputFunDlg*>(&dlg)) {
            if (m_typed.empty()) return QDialog::Rejected;
            pInput->Edit()->setText(QString::fromUtf8(m_typed.front().c_str()));
            m_typed.pop_front();
            pInput->accept();
            return pInput->result();
        }
        return QDialog::Rejected;
    }

    // The name as typed, without the suffix Qt's dialog would add: its own replace question is
    // not run here, so the program's question about the suffixed name shows as it would.
    // A name in a folder that does not exist is typed relative to the nearest one that does.
    static void SelectTyped(QFileDialog& dlg, const QString& name) {
        dlg.setDefaultSuffix(QString());
        QString folder = QFileInfo(name).absolutePath();
        while (!QFileInfo(folder).isDir())
            folder = QFileInfo(folder).absolutePath();
        dlg.setDirectory(folder);
        dlg.selectFile(QDir(folder).relativeFilePath(name));
    }

    // A test's own answer to the dialogs of type D; other dialogs get Answer(). fn returns
    // whether the dialog was accepted, or nothing when the dialog's own result counts.
    template <class D, class F> void OnDialog(F fn) {
        m_onDialog = [this, fn](QDialog& dlg) -> int {
            auto* p = dynamic_cast<D*>(&dlg);
            if (!p) return Answer(dlg);
            if constexpr (std::is_void_v<std::invoke_result_t<F, D&>>) {
                fn(*p);
                return p->result();
            } else {
                return fn(*p) ? QDialog::Accepted : QDialog::Rejected;
            }
        };
    }

    CMainFrame* Frame() const { return m_app->MainFrame(); }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    int Rows() const { return m_app->m_pControlView->ListFun()->count(); }
    void Trigger(int nId) { Frame()->Action(nId)->trigger(); }
    void AddFunction(const char* text) {
        m_typed.push_back(text);
        Trigger(ID_FUN_ADD);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CCurvistApp> m_app;
    std::deque<QString> m_names;                       // answers of the file dialog
    std::deque<bool> m_dialogs;                        // its runs: true for save mode
    std::deque<std::string> m_typed;                   // answers of the input dialog (UTF-8)
    std::deque<QMessageBox::StandardButton> m_answers; // answers of the message boxes
    std::vector<QString> m_messages;
    std::function<int(QDialog&)> m_onDialog; // a test's own answers, in place of Answer()
};
