#pragma once
// A headless application with its main window shown offscreen: recent-file list and display
// parameters in a temporary directory, message boxes and file dialogs scripted.

#include "app/AppMessage.h"
#include "app/CurvistApp.h"
#include "app/MainFrame.h"
#include "app/PlotWindow.h"
#include "expr/FunCompiler.h"
#include "panel/ColorListBox.h"
#include "panel/ControlView.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <memory>

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
    }

    // A fresh application, as after a restart.
    void Start() {
        m_app.reset();
        m_app = std::make_unique<CCurvistApp>(Path("VisParam.ini").toStdString());
        m_app->SetFileDialogRunner([this](QWidget*, bool bSave) {
            m_dialogs.push_back(bSave);
            if (m_names.empty()) return QString();
            QString name = m_names.front();
            m_names.pop_front();
            return name;
        });
        ASSERT_TRUE(m_app->InitInstance({}, false));
        Frame()->resize(800, 600);
        Frame()->show();
        m_app->m_pControlView->SetInputRunner(
            [this](const std::string&, std::string& text, std::unique_ptr<CNodeList>& nodes) {
                if (m_typed.empty()) return false;
                text = m_typed.front();
                m_typed.pop_front();
                CFunCheck c = CheckFunText(text);
                nodes = std::move(c.pNodes);
                return c.status == EFunCheck::Ok;
            });
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
    std::deque<std::string> m_typed;                   // answers of the input dialog
    std::deque<QMessageBox::StandardButton> m_answers; // answers of the message boxes
    std::vector<QString> m_messages;
};
