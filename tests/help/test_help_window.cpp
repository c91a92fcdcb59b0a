#include "help/HelpWindow.h"
#include "platform/qt/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char* const kMissingText = "联机帮助文档 “函数作图器说明书.chm” 已丢失。";

struct CShownBox {
    QString text;
    QString caption;
    QMessageBox::Icon icon;
    QWidget* pParent;
    QMessageBox::StandardButtons buttons;
    QString okText;
};

// A frame, an executable directory of our own and a recorder in place of the modal box.
class HelpWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = fs::temp_directory_path() /
                (std::string("curvist_helpwin_") + info->name() + "_" + std::to_string(getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_strExeDir = m_dir.string() + "/";
    }
    void TearDown() override {
        CloseHelpWindows();
        fs::remove_all(m_dir);
    }

    fs::path ManualPath() const { return m_dir / kManualFileName; }
    void InstallManual() {
        fs::copy_file(CURVIST_MANUAL, ManualPath(), fs::copy_options::overwrite_existing);
    }
    void WriteManual(const std::string& bytes) {
        std::ofstream(ManualPath(), std::ios::binary | std::ios::trunc) << bytes;
    }

    CHelpWindow* Help() {
        SetMessageHook([this](QMessageBox& box) {
            m_boxes.push_back({box.text(), box.windowTitle(), box.icon(), box.parentWidget(),
                               box.standardButtons(), box.button(QMessageBox::Ok)->text()});
            return QMessageBox::Ok;
        });
        QWidget* pHelp = ShowHelpTopics(&m_frame, m_strExeDir);
        SetMessageHook({});
        return qobject_cast<CHelpWindow*>(pHelp);
    }

    static QTreeWidgetItem* Item(QTreeWidget* pTree, const char* name) {
        const auto found =
            pTree->findItems(QString::fromUtf8(name), Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    static void Click(QTreeWidget* pTree, QTreeWidgetItem* pItem) {
        QTest::mouseClick(pTree->viewport(), Qt::LeftButton, {},
                          pTree->visualItemRect(pItem).center());
    }

    fs::path m_dir;
    std::string m_strExeDir;
    QWidget m_frame;
    std::vector<CShownBox> m_boxes;
};

TEST_F(HelpWindowTest, ShowsTheDefaultTopicWithContentsStyleAndImages) {
    InstallManual();
    CHelpWindow* pHelp = Help();
    ASSERT_NE(pHelp, nullptr);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_TRUE(pHelp->isVisible());
    EXPECT_EQ(pHelp->windowTitle(), QString::fromUtf8("函数作图器说明书"));

    QTextBrowser* pBrowser = pHelp->Browser();
    EXPECT_EQ(pBrowser->source(), QUrl("chm:/index.html"));
    EXPECT_EQ(pBrowser->documentTitle(), QString::fromUtf8("欢迎使用 Lumivo函数作图器"));
    EXPECT_TRUE(pBrowser->toPlainText().contains(QString::fromUtf8("快速上手")));

    QTreeWidget* pTree = pHelp->Contents();
    ASSERT_EQ(pTree->topLevelItemCount(), 8);
    EXPECT_EQ(pTree->topLevelItem(0)->text(0), QString::fromUtf8("欢迎使用"));
    EXPECT_GT(pTree->topLevelItem(1)->childCount(), 0);
    EXPECT_EQ(pTree->currentItem(), pTree->topLevelItem(0));

    // The style sheet came out of the file: headings take its colour.
    const QTextBlock heading = pBrowser->document()->firstBlock();
    ASSERT_EQ(heading.text().trimmed(), QString::fromUtf8("欢迎使用 Lumivo函数作图器"));
    EXPECT_EQ(heading.charFormat().foreground().color(), QColor("#1f3f7f"));

    // So did the pictures: the plot loads as an image and is painted (its black plane).
    const QVariant plot =
        pBrowser->document()->resource(QTextDocument::ImageResource, QUrl("images/plot.png"));
    const QImage image = plot.userType() == QMetaType::QByteArray
                             ? QImage::fromData(plot.toByteArray())
                             : plot.value<QImage>();
    EXPECT_EQ(image.size(), QSize(480, 320)) << plot.typeName();
    const QImage shot = pHelp->grab().toImage();
    int nBlack = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            nBlack += shot.pixel(x, y) == qRgb(0, 0, 0);
    EXPECT_GT(nBlack, 20000);
    if (const QByteArray path = qgetenv("CURVIST_HELP_SCREENSHOT"); !path.isEmpty())
        shot.save(QString::fromLocal8Bit(path));
}

TEST_F(HelpWindowTest, ContentsAndLinksNavigate) {
    InstallManual();
    CHelpWindow* pHelp = Help();
    ASSERT_NE(pHelp, nullptr);
    QTextBrowser* pBrowser = pHelp->Browser();
    QTreeWidget* pTree = pHelp->Contents();

    Click(pTree, Item(pTree, "函数面板"));
    EXPECT_EQ(pBrowser->source(), QUrl("chm:/panel.html"));
    EXPECT_EQ(pBrowser->documentTitle(), QString::fromUtf8("函数面板"));
    Click(pTree, Item(pTree, "定义域"));
    EXPECT_EQ(pBrowser->source(), QUrl("chm:/panel.html#domain"));

    // Back to the start page, then follow its first link from the keyboard.
    pBrowser->backward();
    pBrowser->backward();
    ASSERT_EQ(pBrowser->source(), QUrl("chm:/index.html"));
    pHelp->activateWindow();
    pBrowser->setFocus();
    QTest::keyClick(pBrowser, Qt::Key_Tab);
    QTest::keyClick(pBrowser, Qt::Key_Return);
    EXPECT_EQ(pBrowser->source(), QUrl("chm:/navigation.html#toolbar"));
    EXPECT_EQ(pTree->currentItem(), Item(pTree, "菜单与工具栏"));
    EXPECT_TRUE(pBrowser->toPlainText().contains(QString::fromUtf8("实时缩放")));

    // A topic that is not in the file shows a page that says so.
    pHelp->ShowTopic("nowhere.html");
    EXPECT_TRUE(pBrowser->toPlainText().contains(QString::fromUtf8("无法显示此页")));
}

TEST_F(HelpWindowTest, ASecondRequestRaisesTheSameWindowOnItsDefaultTopic) {
    InstallManual();
    CHelpWindow* pFirst = Help();
    ASSERT_NE(pFirst, nullptr);
    pFirst->ShowTopic("files.html");
    CHelpWindow* pSecond = Help();
    EXPECT_EQ(pSecond, pFirst);
    EXPECT_EQ(pFirst->Browser()->source(), QUrl("chm:/index.html"));

    // Closed by the user: the next request opens a new one.
    QPointer<CHelpWindow> pClosed = pFirst;
    pFirst->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(pClosed.isNull());
    EXPECT_NE(Help(), nullptr);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(HelpWindowTest, MissingManualGivesTheMessageEachTime) {
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Help(), nullptr);
    ASSERT_EQ(m_boxes.size(), 2u);
    for (const CShownBox& box : m_boxes) {
        EXPECT_EQ(box.text.toUtf8().toStdString(), kMissingText);
        EXPECT_EQ(box.caption, QString::fromUtf8("消息"));
        EXPECT_EQ(box.icon, QMessageBox::Critical);
        EXPECT_EQ(box.pParent, &m_frame);
        EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_EQ(box.okText, QString::fromUtf8("确定"));
    }
}

TEST_F(HelpWindowTest, DamagedManualGivesTheMessage) {
    std::ifstream in(CURVIST_MANUAL, std::ios::binary);
    const std::string manual((std::istreambuf_iterator<char>(in)), {});
    const std::string damaged[] = {manual.substr(0, manual.size() / 2), manual.substr(0, 200),
                                   std::string(50000, '\x5A'), ""};
    for (const std::string& bytes : damaged) {
        WriteManual(bytes);
        m_boxes.clear();
        EXPECT_EQ(Help(), nullptr) << bytes.size();
        ASSERT_EQ(m_boxes.size(), 1u) << bytes.size();
        EXPECT_EQ(m_boxes[0].text.toUtf8().toStdString(), kMissingText);
    }
}

// Files that crash chmlib or make it loop for ever: the reader's process dies or is stopped at
// its time limit, the user gets the message, and the program goes on to open a sound manual.
TEST_F(HelpWindowTest, AManualThatCrashesOrStallsTheReaderGivesTheMessage) {
    for (const char* name :
         {"lzx_reset_crash.chm", "division_by_zero.chm", "endless_enumeration.chm"}) {
        fs::copy_file(fs::path(CURVIST_DAMAGED_MANUALS) / name, ManualPath(),
                      fs::copy_options::overwrite_existing);
        m_boxes.clear();
        EXPECT_EQ(Help(), nullptr) << name;
        ASSERT_EQ(m_boxes.size(), 1u) << name;
        EXPECT_EQ(m_boxes[0].text.toUtf8().toStdString(), kMissingText) << name;
    }
    InstallManual();
    CHelpWindow* pHelp = Help();
    ASSERT_NE(pHelp, nullptr);
    EXPECT_FALSE(pHelp->Contents()->findItems("*", Qt::MatchWildcard).isEmpty());
}

// A reader that cannot start is named as the cause, not the manual.
TEST_F(HelpWindowTest, AReaderThatCannotStartIsNamed) {
    InstallManual();
    std::ofstream(m_dir / "not-a-program") << "neither executable nor a program";
    std::ofstream(m_dir / "garbage") << "\x7f"
                                        "ELF garbage";
    fs::permissions(m_dir / "garbage", fs::perms::owner_all);
    for (const char* reader : {"missing", "not-a-program", "garbage"}) {
        SetHelpReaderProgram((m_dir / reader).string());
        m_boxes.clear();
        EXPECT_EQ(Help(), nullptr) << reader;
        ASSERT_EQ(m_boxes.size(), 1u) << reader;
        EXPECT_EQ(m_boxes[0].text.toUtf8().toStdString(), "无法启动说明书阅读程序 “curvist-chm”。")
            << reader;
    }
    SetHelpReaderProgram({});
    ASSERT_NE(Help(), nullptr);
}

// A reader that stalls is stopped at the time limit together with what it started.
TEST_F(HelpWindowTest, AStalledReaderIsStoppedWhole) {
    InstallManual();
    const fs::path script = m_dir / "stalls.sh";
    const fs::path pidFile = m_dir / "forked.pid";
    std::ofstream(script) << "#!/bin/sh\nsleep 60 &\necho $! > '" << pidFile.string()
                          << "'\nsleep 60\n";
    fs::permissions(script, fs::perms::owner_all);
    SetHelpReaderProgram(script.string());
    EXPECT_EQ(Help(), nullptr);
    SetHelpReaderProgram({});
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text.toUtf8().toStdString(), kMissingText);
    std::string pid;
    std::ifstream(pidFile) >> pid;
    ASSERT_FALSE(pid.empty());
    // Gone, or a zombie waiting for a parent that reaps it.
    std::string stat;
    std::getline(std::ifstream("/proc/" + pid + "/stat"), stat);
    const std::size_t state = stat.rfind(") ");
    EXPECT_TRUE(stat.empty() || stat.substr(state + 2, 1) == "Z") << stat;
}

// A window stays with the file it read: when the manual is removed or replaced, the next request
// looks at the file again.
TEST_F(HelpWindowTest, RemovedOrReplacedManualIsNoticed) {
    InstallManual();
    QPointer<CHelpWindow> pOld = Help();
    ASSERT_FALSE(pOld.isNull());
    fs::remove(ManualPath());
    EXPECT_EQ(Help(), nullptr);
    EXPECT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(pOld.isNull());

    InstallManual();
    pOld = Help();
    ASSERT_FALSE(pOld.isNull());
    WriteManual("no longer a help file");
    EXPECT_EQ(Help(), nullptr);
    EXPECT_EQ(m_boxes.size(), 2u);
    EXPECT_TRUE(pOld.isNull());
}

TEST_F(HelpWindowTest, EntryTakesOnlyDisplayTopicAndOptionalTopicData) {
    InstallManual();
    const std::string path = ManualPath().string();
    EXPECT_EQ(CurvistHtmlHelp(nullptr, path, 1, 0), nullptr);
    EXPECT_EQ(CurvistHtmlHelp(nullptr, path + ".none", HH_DISPLAY_TOPIC, 0), nullptr);

    const char* topic = "shortcuts.html";
    auto* pHelp = qobject_cast<CHelpWindow*>(
        CurvistHtmlHelp(&m_frame, path, HH_DISPLAY_TOPIC, reinterpret_cast<std::uintptr_t>(topic)));
    ASSERT_NE(pHelp, nullptr);
    EXPECT_EQ(pHelp->Browser()->source(), QUrl("chm:/shortcuts.html"));
    // A caller owns the window; the frame's help command passes none.
    EXPECT_EQ(pHelp->parentWidget(), &m_frame);
    EXPECT_TRUE(pHelp->isWindow());
}

// The real command: the manual beside this test program, found from another working directory,
// with the real message box standing by (closed by a timer should it ever appear).
TEST_F(HelpWindowTest, FindsTheManualBesideTheExecutableFromAnyDirectory) {
    const fs::path cwd = fs::current_path();
    fs::current_path(m_dir);
    bool bBoxAppeared = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&bBoxAppeared] {
        if (QWidget* pModal = QApplication::activeModalWidget()) {
            bBoxAppeared = true;
            pModal->close();
        }
    });
    guard.start(3000);
    QWidget* pHelp = ShowHelpTopics(&m_frame);
    fs::current_path(cwd);
    EXPECT_NE(pHelp, nullptr);
    EXPECT_FALSE(bBoxAppeared);
}

} // namespace
