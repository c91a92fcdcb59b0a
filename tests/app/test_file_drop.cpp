// Files dragged onto the main window: one ".cvx" opens through File Open's path, anything
// else is refused with a message and changes nothing.

#include "AppFixture.h"

#include "document/DocumentFile.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>

namespace {

class FileDropTest : public AppFixture {
  protected:
    // A fresh window with a modified document of one function, and a file of two beside it.
    void Restart() {
        Start();
        QApplication::processEvents();
        AddFunction("x");
        AddFunction("sinx");
        m_names.push_back(Path("two.cvx"));
        Trigger(ID_FILE_SAVE_AS);
        Trigger(ID_FILE_NEW);
        AddFunction("x^2");
        m_messages.clear();
    }

    // Drags the URLs over pTarget and drops them there as the window system does. False when
    // the window refused the drag.
    bool Drop(QWidget* pTarget, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        data.setText(urls.isEmpty() ? QString() : urls.front().toLocalFile());
        const QPoint p(5, 5);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(p, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pTarget, &enter);
        if (!enter.isAccepted()) return false;
        QDropEvent drop(QPointF(p), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pTarget, &drop);
        QApplication::processEvents();
        return drop.isAccepted();
    }
    QList<QUrl> Files(std::initializer_list<const char*> names) const {
        QList<QUrl> urls;
        for (const char* name : names)
            urls.append(QUrl::fromLocalFile(Path(name)));
        return urls;
    }
    QLineEdit* DomainEdit() const { return m_app->m_pControlView->ComboMin()->lineEdit(); }
};

// Dropped on the frame or on a text field of the panel, after the save question; cancelling
// it keeps everything.
TEST_F(FileDropTest, ADroppedFunctionFileOpensAfterTheSaveQuestion) {
    Restart();
    ASSERT_TRUE(QFile::copy(Path("two.cvx"), Path("TWO.CVX")));
    const struct {
        const char* name;
        const char* file;
        bool bOnTextField;
        QMessageBox::StandardButton answer;
        bool bOpened;
    } cases[] = {
        {"on the frame, not saved", "two.cvx", false, QMessageBox::No, true},
        {"on a text field", "two.cvx", true, QMessageBox::No, true},
        {"upper-case suffix", "TWO.CVX", false, QMessageBox::No, true},
        {"question cancelled", "two.cvx", false, QMessageBox::Cancel, false},
    };
    for (const auto& c : cases) {
        Restart();
        m_answers = {c.answer};
        const QString domainText = DomainEdit()->text();
        EXPECT_TRUE(
            Drop(c.bOnTextField ? DomainEdit() : static_cast<QWidget*>(Frame()), Files({c.file})))
            << c.name;
        ASSERT_EQ(m_messages.size(), 1u) << c.name;
        EXPECT_EQ(m_messages[0], QStringLiteral("是否保存对“无标题”的修改？")) << c.name;
        EXPECT_EQ(Rows(), c.bOpened ? 2 : 1) << c.name;
        EXPECT_EQ(m_app->GetPathName(), c.bOpened ? Path(c.file) : QString()) << c.name;
        EXPECT_EQ(m_app->Doc().IsModified(), !c.bOpened) << c.name;
        EXPECT_EQ(DomainEdit()->text(), domainText) << c.name; // no name pasted in
    }
}

// Another type, several files, a folder or a damaged file: one message and the document, its
// name and its modified mark as they were. Links that are not local files are not taken.
TEST_F(FileDropTest, OtherDropsAreRefusedWithNothingChanged) {
    QFile(Path("notes.txt")).open(QIODevice::WriteOnly);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.cvx"));
    QFile bad(Path("bad.cvx"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a function file");
    bad.close();
    const struct {
        const char* name;
        QList<QUrl> urls;
        bool bTaken;
        std::size_t nMessages; // the last one says why
        const char* message;
    } cases[] = {
        {"a text file", Files({"notes.txt"}), true, 1, "“notes.txt”不是方程文件"},
        {"two function files", Files({"two.cvx", "two.cvx"}), true, 1, "一次只能打开一个文件"},
        {"a function file and another", Files({"two.cvx", "notes.txt"}), true, 1, "一次只能"},
        {"a folder", Files({"folder.cvx"}), true, 1, "不是方程文件"},
        // It gets as far as the save question, which the user declines.
        {"a damaged function file", Files({"bad.cvx"}), true, 2, "无法打开文件"},
        {"a web link", {QUrl(QStringLiteral("https://example.org/two.cvx"))}, false, 0, ""},
    };
    for (const auto& c : cases) {
        Restart();
        m_answers = {QMessageBox::No};
        EXPECT_EQ(Drop(Frame(), c.urls), c.bTaken) << c.name;
        ASSERT_EQ(m_messages.size(), c.nMessages) << c.name;
        if (c.nMessages) {
            EXPECT_TRUE(m_messages.back().contains(QString::fromUtf8(c.message)))
                << c.name << ": " << m_messages.back().toStdString();
        }
        EXPECT_EQ(Rows(), 1) << c.name;
        EXPECT_EQ(m_app->GetPathName(), QString()) << c.name;
        EXPECT_TRUE(m_app->Doc().IsModified()) << c.name;
    }
}

} // namespace
