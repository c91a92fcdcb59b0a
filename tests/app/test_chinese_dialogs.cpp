// Qt's standard dialogs and every message box speak Chinese under an English (C) locale.
#include "app/CurvistApp.h"
#include "platform/qt/MessageBox.h"
#include "platform/qt/Translations.h"

#include <QAbstractButton>
#include <QAbstractProxyModel>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString U(const char* sz) {
    return QString::fromUtf8(sz);
}

bool HasChinese(const QString& s) {
    for (QChar c : s)
        if (c.unicode() >= 0x4E00 && c.unicode() <= 0x9FFF) return true;
    return false;
}

// The texts of the dialog's visible labels and buttons that a user reads.
QStringList Texts(QWidget* pDlg) {
    QStringList texts;
    for (QLabel* p : pDlg->findChildren<QLabel*>())
        if (p->isVisibleTo(pDlg) && !p->text().isEmpty()) texts << p->text();
    for (QAbstractButton* p : pDlg->findChildren<QAbstractButton*>())
        if (p->isVisibleTo(pDlg) && !p->text().isEmpty()) texts << p->text();
    return texts;
}

class ChineseDialogs : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(InstallChineseQtTranslation(qApp)) << "qt6-translations-l10n is missing";
        ASSERT_TRUE(m_dir.isValid());
        // Under a Chinese locale Qt might find Chinese texts without our help.
        ASSERT_NE(QLocale::system().language(), QLocale::Chinese) << "run with LANG=C.UTF-8";
    }
    QTemporaryDir m_dir;
};

// Texts with Latin letters and no Chinese: what an untranslated dialog shows.
QStringList English(const QStringList& texts) {
    QStringList english;
    for (const QString& t : texts)
        if (t.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))) && !HasChinese(t))
            english << t;
    return english;
}

TEST_F(ChineseDialogs, StandardDialogsAreChinese) {
    auto pOpen = CreateFileDialog(nullptr, false);
    auto pSave = CreateFileDialog(nullptr, true, m_dir.filePath("a.cvx"));
    QPrinter printer;
    QPrintDialog print(&printer);
    QPageSetupDialog setup(&printer);
    struct Case {
        QDialog* pDlg;
        const char* title;
        std::vector<const char*> texts; // some of what it must show
    } cases[] = {
        {pOpen.get(), "打开", {"查找范围：", "文件名称(&N)：", "文件类型：", "打开(&O)", "取消"}},
        {pSave.get(), "另存为", {"文件名称(&N)：", "保存(&S)", "取消"}},
        {&print, "打印", {"名称(&N)：", "打印(&P)", "取消"}},
        {&setup, "页面设置", {"纸张大小：", "纵向", "横向", "确定", "取消"}},
    };
    for (const Case& c : cases) {
        c.pDlg->show();
        const QStringList texts = Texts(c.pDlg);
        EXPECT_EQ(c.pDlg->windowTitle().toStdString(), c.title);
        for (const char* t : c.texts)
            EXPECT_TRUE(texts.contains(U(t))) << c.title << ": " << t;
        EXPECT_EQ(English(texts).join(u'|').toStdString(), "") << c.title;
        c.pDlg->hide();
    }
    // The desktop's native dialog would follow the system locale instead.
    EXPECT_TRUE(pOpen->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_TRUE(pSave->testOption(QFileDialog::DontUseNativeDialog));
}

// Sizes, types and dates in the file list: Qt writes them in the system's locale and in KiB.
TEST_F(ChineseDialogs, FileDetailsAreChinese) {
    QDir(m_dir.path()).mkdir(QStringLiteral("sub"));
    for (const auto& [name, size] : {std::pair{"big.cvx", 5000}, std::pair{"small.cvx", 2}}) {
        QFile f(m_dir.filePath(QString::fromUtf8(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(size, 'x'));
    }
    auto pOpen = CreateFileDialog(nullptr, false);
    pOpen->setNameFilter(U("全部 (*)"));
    pOpen->setDirectory(m_dir.path());
    pOpen->show();
    QAbstractProxyModel* pModel = pOpen->proxyModel();
    ASSERT_NE(pModel, nullptr);
    auto* pFiles = qobject_cast<QFileSystemModel*>(pModel->sourceModel());
    ASSERT_NE(pFiles, nullptr);
    const QModelIndex root = pModel->mapFromSource(pFiles->index(m_dir.path()));
    for (int i = 0; i < 100 && pModel->rowCount(root) < 3; ++i)
        QTest::qWait(20);
    QStringList details;
    for (int row = 0; row < pModel->rowCount(root); ++row)
        for (int col = 0; col < 4; ++col)
            details << pModel->index(row, col, root).data().toString();
    const QString all = details.join(u'|');
    for (const char* english : {"KiB", "bytes", "Folder", "AM", "PM"})
        EXPECT_FALSE(all.contains(QString::fromUtf8(english))) << all.toStdString();
    EXPECT_TRUE(all.contains(U("4.88 KB"))) << all.toStdString();
    EXPECT_TRUE(all.contains(U("2 字节"))) << all.toStdString();
    const QString today = QLocale(QLocale::Chinese, QLocale::China)
                              .toString(QDate::currentDate(), QLocale::ShortFormat);
    EXPECT_TRUE(all.contains(today)) << all.toStdString();
}

TEST_F(ChineseDialogs, OverwriteQuestionIsChinese) {
    const QString existing = m_dir.filePath("old.cvx");
    QFile(existing).open(QIODevice::WriteOnly);
    auto pSave = CreateFileDialog(nullptr, true, existing);
    pSave->show();
    QString text;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!pBox) return;
        text = pBox->text();
        for (QAbstractButton* b : pBox->buttons())
            buttons << b->text();
        pBox->button(QMessageBox::No)->click();
    });
    QMetaObject::invokeMethod(pSave.get(), "accept");
    EXPECT_TRUE(HasChinese(text)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("old.cvx")));
    buttons.sort();
    EXPECT_EQ(English(buttons).join(u'|').toStdString(), "");
    EXPECT_EQ(buttons.size(), 2);
    EXPECT_TRUE(pSave->isVisible()); // "No" keeps the dialog open for another name
}

TEST_F(ChineseDialogs, MessageBoxButtonsAreChinese) {
    struct Case {
        QMessageBox::StandardButtons buttons;
        QStringList texts; // in the box's order of buttons, sorted
    };
    const Case cases[] = {
        {QMessageBox::Ok, {U("确定")}},
        {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, {U("取消"), U("否"), U("是")}},
    };
    for (const Case& c : cases) {
        QStringList texts;
        SetMessageHook([&](QMessageBox& box) {
            for (QAbstractButton* b : box.buttons())
                texts << b->text();
            return QMessageBox::Cancel;
        });
        EXPECT_EQ(ShowMessageBox(nullptr, QMessageBox::Warning, U("标题"), U("内容"), c.buttons),
                  QMessageBox::Cancel);
        SetMessageHook({});
        texts.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(texts.join(u'|').toStdString(), expected.join(u'|').toStdString());
    }
}

} // namespace
