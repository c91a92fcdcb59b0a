// The manual names every command of the window as the menus and keys show it.

#include "AppFixture.h"

#include "app/Commands.h"
#include "help/HelpWindow.h"

#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTextDocument>

namespace {

class ManualCommandsTest : public AppFixture {};

// The manual's pages as plain text, as the help window reads them from the built file.
QString ManualText() {
    std::unique_ptr<CHelpWindow> pHelp(CHelpWindow::Create(CURVIST_MANUAL));
    if (!pHelp) return {};
    QString all;
    for (const auto& [path, bytes] : pHelp->Loader().Objects()) {
        if (!path.ends_with(".html")) continue;
        QTextDocument doc;
        doc.setHtml(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
        all += doc.toPlainText() + u'\n';
    }
    return all;
}

// "打开(&O)...\tCtrl+O" is written "打开(O)" in the manual.
QString ItemName(const QAction* pAction) {
    QString name = pAction->text().section(u'\t', 0, 0).remove(u'&');
    if (name.endsWith(QStringLiteral("..."))) name.chop(3);
    return name;
}

TEST_F(ManualCommandsTest, EveryMenuItemAndKeyAppearsInTheManual) {
    const QString manual = ManualText();
    ASSERT_FALSE(manual.isEmpty());

    QList<QAction*> items = Frame()->actions(); // every command, in a menu or not
    for (QAction* pMenu : Frame()->menuBar()->actions()) {
        items.push_back(pMenu);
        for (QAction* pItem : pMenu->menu()->actions())
            if (pItem->menu()) items.push_back(pItem);
    }
    int nChecked = 0;
    for (const QAction* pAction : items) {
        if (pAction->isSeparator() || pAction->text().isEmpty()) continue;
        EXPECT_TRUE(manual.contains(ItemName(pAction))) << ItemName(pAction).toStdString();
        for (const QKeySequence& key : pAction->shortcuts()) {
            const QString text = key.toString(QKeySequence::PortableText);
            EXPECT_TRUE(manual.contains(text))
                << ItemName(pAction).toStdString() << ' ' << text.toStdString();
        }
        ++nChecked;
    }
    EXPECT_GT(nChecked, 40);
}

// Every key of the command table, the plane's and the list's too, is named in the manual: a key
// by itself (its modifiers are named beside it), arrows as arrows.
TEST_F(ManualCommandsTest, EveryKeyOfTheCommandTableAppearsInTheManual) {
    const QString manual = ManualText();
    ASSERT_FALSE(manual.isEmpty());
    const QHash<QString, QString> shown = {{QStringLiteral("Left"), QStringLiteral("←")},
                                           {QStringLiteral("Right"), QStringLiteral("→")},
                                           {QStringLiteral("Up"), QStringLiteral("↑")},
                                           {QStringLiteral("Down"), QStringLiteral("↓")},
                                           {QStringLiteral("Return"), QStringLiteral("Enter")}};
    int nChecked = 0;
    for (const CCommandDef& def : CommandTable()) {
        for (QKeyCombination key : def.keys) {
            // The copy keys of Sun and multimedia keyboards go unnamed.
            if (key == QKeyCombination() || key.key() == Qt::Key_F16 || key.key() == Qt::Key_Copy)
                continue;
            const QString name = QKeySequence(key.key()).toString(QKeySequence::PortableText);
            EXPECT_TRUE(manual.contains(shown.value(name, name))) << name.toStdString();
            ++nChecked;
        }
    }
    EXPECT_GT(nChecked, 20);
}

} // namespace
