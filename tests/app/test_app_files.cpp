// File commands through the window: save and reopen, titles, the recent-file list, the question
// before unsaved work is dropped, and a file that cannot be opened.

#include "AppFixture.h"

#include "app/FileMessage.h"
#include "document/DocumentFile.h"
#include "view/CurvistView.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace {
QString U(const char* sz) {
    return QString::fromUtf8(sz);
}
QString Title(const QString& name) {
    return name + U(" - Lumivo函数作图器");
}
} // namespace

using AppFilesTest = AppFixture;

TEST_F(AppFilesTest, SaveAsNewAndOpenThroughTheWindow) {
    EXPECT_EQ(Frame()->windowTitle(), Title(U("无标题")));
    AddFunction("x^2");
    AddFunction("sinx");
    ASSERT_EQ(Rows(), 2);

    m_names.push_back(Path("曲线")); // no suffix: Save As adds ".cvx"
    Trigger(ID_FILE_SAVE);           // an untitled document asks for a name
    ASSERT_EQ(m_dialogs, std::deque<bool>{true});
    const QString saved = Path("曲线.cvx");
    EXPECT_TRUE(QFileInfo::exists(saved));
    EXPECT_EQ(Frame()->windowTitle(), Title(U("曲线.cvx")));
    EXPECT_FALSE(m_app->Doc().IsModified());

    Trigger(ID_FILE_NEW); // saved: no question
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Frame()->windowTitle(), Title(U("无标题")));

    m_names.push_back(saved);
    Trigger(ID_FILE_OPEN);
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(m_app->m_pControlView->ListFun()->item(1)->text(), U("Y=sinx"));
    EXPECT_EQ(m_app->Doc().m_arFuns[0]->m_strFun, "x^2");
    EXPECT_EQ(Frame()->windowTitle(), Title(U("曲线.cvx")));
    EXPECT_TRUE(m_messages.empty());

    // Save writes to the same file without asking.
    AddFunction("x");
    Trigger(ID_FILE_SAVE);
    EXPECT_EQ(m_dialogs.size(), 2u);
    CCurvistDoc reread;
    std::string error;
    ASSERT_TRUE(LoadDocument(reread, QFile::encodeName(saved).toStdString(), &error)) << error;
    EXPECT_EQ(reread.m_arFuns.size(), 3u);
}

TEST_F(AppFilesTest, RecentFilesKeepFourMostRecentFirstAcrossRestarts) {
    for (const char* name : {"a.cvx", "b.cvx", "c.cvx", "d.cvx", "e.cvx"}) {
        m_names.push_back(Path(name));
        Trigger(ID_FILE_SAVE_AS);
    }
    m_names.push_back(Path("c.cvx"));
    Trigger(ID_FILE_OPEN);
    const QStringList expected = {Path("c.cvx"), Path("e.cvx"), Path("d.cvx"), Path("b.cvx")};
    EXPECT_EQ(m_app->RecentFiles(), expected);

    QStringList menu;
    for (QAction* a : Frame()->FileMenu()->actions())
        if (a->isVisible() && a->text().startsWith(u'&')) menu << a->text();
    ASSERT_EQ(menu.size(), 4);
    EXPECT_EQ(menu[0], QStringLiteral("&1 ") + Path("c.cvx"));
    EXPECT_FALSE(Frame()->Action(ID_FILE_MRU_FILE1)->isVisible());

    Start();
    EXPECT_EQ(m_app->RecentFiles(), expected);
    QSettings settings(m_dir.filePath(QStringLiteral("curvist/Curvist.conf")),
                       QSettings::IniFormat);
    EXPECT_EQ(settings.value(QStringLiteral("Recent File List/File1")).toString(), Path("c.cvx"));

    ASSERT_TRUE(m_app->OnOpenRecentFile(2));
    EXPECT_EQ(m_app->GetPathName(), Path("d.cvx"));
    EXPECT_EQ(m_app->RecentFiles().front(), Path("d.cvx"));
}

// The list kept by earlier versions moves into the user's curvist folder once, and the old
// folder goes when nothing else is in it.
TEST_F(AppFilesTest, OldRecentFileListIsTakenOverOnce) {
    const QString oldFile =
        m_dir.filePath(QStringLiteral("Local AppWizard-Generated Applications/Curvist.conf"));
    const QStringList list = {Path("old1.cvx"), Path("old2.cvx")};
    for (bool bNewListExists : {false, true}) {
        SCOPED_TRACE(bNewListExists);
        m_app.reset();
        QFile::remove(m_dir.filePath(QStringLiteral("curvist/Curvist.conf")));
        if (bNewListExists) {
            QSettings now(m_dir.filePath(QStringLiteral("curvist/Curvist.conf")),
                          QSettings::IniFormat);
            now.setValue(QStringLiteral("Recent File List/File1"), Path("new.cvx"));
        }
        {
            QSettings old(oldFile, QSettings::IniFormat);
            old.setValue(QStringLiteral("Recent File List/File1"), list[0]);
            old.setValue(QStringLiteral("Recent File List/File2"), list[1]);
        }
        Start();
        const QStringList expected = bNewListExists ? QStringList{Path("new.cvx")} : list;
        EXPECT_EQ(m_app->RecentFiles(), expected);
        EXPECT_FALSE(QFileInfo::exists(oldFile));
        EXPECT_FALSE(QFileInfo::exists(QFileInfo(oldFile).path()));
        m_names.push_back(Path("fresh.cvx"));
        Trigger(ID_FILE_SAVE_AS);
        Start();
        EXPECT_EQ(m_app->RecentFiles(), QStringList{Path("fresh.cvx")} + expected);
    }
}

// What each answer to "save the changes?" does to New, Open and closing the window.
TEST_F(AppFilesTest, UnsavedChangesAreNeverDroppedSilently) {
    const QString question = U("是否保存对“无标题”的修改？");
    struct Case {
        QMessageBox::StandardButton answer;
        const char* saveAs; // answer of the save dialog, "" to cancel it
        bool proceeds;
        bool saved;
    } cases[] = {{QMessageBox::Yes, "kept.cvx", true, true},
                 {QMessageBox::Yes, "", false, false},
                 {QMessageBox::No, "", true, false},
                 {QMessageBox::Cancel, "", false, false}};
    for (int command : {ID_FILE_NEW, ID_FILE_OPEN, ID_APP_EXIT}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << command << " answer " << c.answer);
            Start();
            QFile::remove(Path("kept.cvx"));
            AddFunction("x^3");
            m_messages.clear();
            m_answers = {c.answer};
            if (c.answer == QMessageBox::Yes) m_names.push_back(c.saveAs[0] ? Path(c.saveAs) : "");
            if (command == ID_FILE_OPEN) {
                QFile::remove(Path("other.cvx"));
                CCurvistDoc empty;
                std::string error;
                ASSERT_TRUE(SaveDocument(empty, Path("other.cvx").toStdString(), &error));
                m_names.push_front(Path("other.cvx")); // the open dialog comes first
            }
            Trigger(command);
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_EQ(m_messages[0], question);
            EXPECT_EQ(QFileInfo::exists(Path("kept.cvx")), c.saved);
            if (command == ID_APP_EXIT) {
                EXPECT_EQ(Frame()->isVisible(), !c.proceeds);
            } else {
                EXPECT_EQ(Rows(), c.proceeds ? 0 : 1);
            }
            m_names.clear();
        }
    }
}

// The file dialog asks about the name it returns; when Save As adds ".cvx" to that name, the
// question about replacing the file is asked about the name really written.
TEST_F(AppFilesTest, SaveAsNeverReplacesAFileWithoutAsking) {
    const struct {
        const char* name;     // typed in the dialog
        const char* existing; // a file already there, holding "precious"
        QMessageBox::StandardButton answer;
        const char* second; // the dialog's answer when it comes again, "" to cancel
        const char* written;
    } cases[] = {
        {"z.", "z..cvx", QMessageBox::No, "", nullptr},
        {"z.", "z..cvx", QMessageBox::Yes, nullptr, "z..cvx"},
        {"name", "name.cvx", QMessageBox::No, "other", "other.cvx"},
        {"fresh", "fresh", QMessageBox::NoButton, nullptr, "fresh.cvx"},
        {"same.cvx", "same.cvx", QMessageBox::NoButton, nullptr, "same.cvx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Start();
        for (const char* f : {c.existing, "z..cvx", "name.cvx", "other.cvx", "fresh.cvx"})
            QFile::remove(Path(f));
        QFile file(Path(c.existing));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("precious");
        file.close();
        AddFunction("x");
        m_messages.clear();
        m_dialogs.clear();
        m_names = {Path(c.name)};
        if (c.second) m_names.push_back(c.second[0] ? Path(c.second) : QString());
        if (c.answer != QMessageBox::NoButton) m_answers = {c.answer};

        Trigger(ID_FILE_SAVE_AS);
        if (c.answer != QMessageBox::NoButton) {
            ASSERT_EQ(m_messages.size(), 1u);
            EXPECT_TRUE(m_messages[0].contains(U(c.existing))) << m_messages[0].toStdString();
        } else {
            EXPECT_TRUE(m_messages.empty());
        }
        EXPECT_EQ(m_dialogs.size(), c.second ? 2u : 1u);
        QFile kept(Path(c.existing));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        const bool bReplaced = c.written && QString::fromUtf8(c.written) == U(c.existing);
        EXPECT_EQ(kept.readAll() == "precious", !bReplaced);
        if (c.written) {
            EXPECT_EQ(Frame()->windowTitle(), Title(U(c.written)));
            EXPECT_FALSE(m_app->Doc().IsModified());
        } else {
            EXPECT_TRUE(m_app->Doc().IsModified());
        }
    }
}

TEST_F(AppFilesTest, AFileThatCannotBeOpenedChangesNothing) {
    AddFunction("x^2");
    m_names.push_back(Path("good.cvx"));
    Trigger(ID_FILE_SAVE_AS);
    const QImage before = Frame()->PlotWindow()->BackBuffer().copy();
    const QStringList recent = m_app->RecentFiles();

    QFile bad(Path("bad.cvx"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a function file");
    bad.close();
    // The reason in Chinese first; the byte offset of the damage after it, English or not.
    const struct {
        const char* name;
        const char* message;
        const char* detail;
    } cases[] = {{"bad.cvx", "：文件已损坏。\n（", "at byte"},
                 {"absent.cvx", "：文件不存在。", nullptr},
                 {"pipe.cvx", "：不是普通文件。", nullptr}};
    ASSERT_EQ(mkfifo(Path("pipe.cvx").toUtf8().constData(), 0666), 0);
    for (const auto& c : cases) {
        const char* name = c.name;
        m_messages.clear();
        m_names.push_back(Path(name));
        Trigger(ID_FILE_OPEN);
        ASSERT_EQ(m_messages.size(), 1u) << name;
        const QString text = m_messages[0];
        EXPECT_TRUE(text.startsWith(U("无法打开文件“") + Path(name) + U("”") + U(c.message)))
            << text.toStdString();
        EXPECT_EQ(text.contains(U("\n")), c.detail != nullptr) << text.toStdString();
        if (c.detail) {
            EXPECT_TRUE(text.contains(U(c.detail))) << text.toStdString();
        }
        EXPECT_EQ(Rows(), 1);
        EXPECT_EQ(m_app->Doc().m_arFuns.size(), 1u);
        EXPECT_EQ(Frame()->windowTitle(), Title(U("good.cvx")));
        EXPECT_EQ(m_app->RecentFiles(), recent);
        EXPECT_EQ(Frame()->PlotWindow()->BackBuffer(), before);
    }
}

TEST_F(AppFilesTest, AFailedSaveSaysWhyInChinese) {
    AddFunction("x^2");
    ASSERT_EQ(QDir(m_dir.path()).mkdir(QStringLiteral("folder.cvx")), true);
    ASSERT_EQ(mkfifo(Path("pipe.cvx").toUtf8().constData(), 0666), 0);
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {{"missing/a.cvx", "：文件夹不存在。"},
                 {"folder.cvx", "：这是一个文件夹。"},
                 {"pipe.cvx", "：不是普通文件。"}};
    for (const auto& c : cases) {
        m_messages.clear();
        m_names.push_back(Path(c.name));
        Trigger(ID_FILE_SAVE_AS);
        ASSERT_EQ(m_messages.size(), 1u) << c.name;
        EXPECT_EQ(m_messages[0], U("无法保存文件“") + Path(c.name) + U("”") + U(c.reason));
    }
}

TEST_F(AppFilesTest, CommandLinePathOpensTheDocument) {
    AddFunction("x^2");
    m_names.push_back(Path("start.cvx"));
    Trigger(ID_FILE_SAVE_AS);
    m_app.reset();

    CCurvistApp app(Path("VisParam.ini").toStdString());
    ASSERT_TRUE(app.InitInstance({Path("start.cvx")}, false));
    EXPECT_EQ(app.Doc().m_arFuns.size(), 1u);
    EXPECT_EQ(app.MainFrame()->windowTitle(), Title(U("start.cvx")));

    CCurvistApp missing(Path("VisParam.ini").toStdString());
    EXPECT_FALSE(missing.InitInstance({Path("nothing.cvx")}, false));
}

// A name that is not UTF-8 ("函数.cvx" in GBK, as a Windows archive leaves it) opens, shows
// decoded, and saves back under its own bytes.
TEST_F(AppFilesTest, AFileNameIsItsBytes) {
    AddFunction("x^2");
    m_names.push_back(Path("start.cvx"));
    Trigger(ID_FILE_SAVE_AS);
    m_app.reset();
    const std::string gbk = LocalPath(m_dir.path()) + "/\xba\xaf\xca\xfd.cvx";
    ASSERT_EQ(std::rename(LocalPath(Path("start.cvx")).c_str(), gbk.c_str()), 0);

    CCurvistApp app(Path("VisParam.ini").toStdString());
    ASSERT_TRUE(app.InitInstance({FromLocalPath(gbk)}, false));
    EXPECT_EQ(app.Doc().m_arFuns.size(), 1u);
    EXPECT_EQ(app.MainFrame()->windowTitle(), Title(U("函数.cvx")));
    EXPECT_EQ(LocalPath(app.GetPathName()), gbk);
    app.Doc().Editor().Delete(0);
    ASSERT_TRUE(app.OnFileSave());
    CCurvistDoc reread;
    ASSERT_TRUE(LoadDocument(reread, gbk, nullptr));
    EXPECT_TRUE(reread.m_arFuns.empty());
    int nDocuments = 0; // no second file under a name decoded and encoded again
    for (const auto& e : std::filesystem::directory_iterator(LocalPath(m_dir.path())))
        nDocuments += e.path().extension() == ".cvx";
    EXPECT_EQ(nDocuments, 1);
}
