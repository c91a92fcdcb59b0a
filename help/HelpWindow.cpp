#include "help/HelpWindow.h"

#include "help/HelpLinks.h"
#include "platform/ExeDir.h"
#include "platform/qt/MessageBox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPointer>
#include <QProcess>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <map>
#include <signal.h>
#include <unistd.h>

namespace {

constexpr const char* kScheme = "chm";

// A text browser whose pages, style sheets and images all come out of the help file.
class CHelpBrowser : public QTextBrowser {
  public:
    CHelpBrowser(const CHelpBundle& loader, QWidget* pParent)
        : QTextBrowser(pParent), m_loader(loader) {}

    QVariant loadResource(int nType, const QUrl& name) override {
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (url.scheme() != QLatin1String(kScheme)) return {};
        const std::string path =
            HelpObjectOf(ResolveHelpPath("/", url.path(QUrl::FullyEncoded).toStdString()));
        const auto bytes = m_loader.ReadObject(path);
        const bool bText =
            nType == QTextDocument::HtmlResource || nType == QTextDocument::StyleSheetResource;
        if (!bytes) {
            if (nType != QTextDocument::HtmlResource) return {};
            return QString::fromUtf8("<html><body><p>无法显示此页：%1</p></body></html>")
                .arg(QString::fromStdString(path).toHtmlEscaped());
        }
        if (bText) return QString::fromStdString(HelpTextToUtf8(*bytes));
        return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }

  private:
    const CHelpBundle& m_loader;
};

// The file a window shows, so that a replaced or deleted manual is noticed on the next request.
struct CFileStamp {
    std::uintmax_t nSize = 0;
    std::filesystem::file_time_type time;
    bool operator==(const CFileStamp&) const = default;
};

std::optional<CFileStamp> StampOf(const std::string& strPath) {
    std::error_code ec;
    CFileStamp stamp;
    stamp.nSize = std::filesystem::file_size(strPath, ec);
    if (ec) return std::nullopt;
    stamp.time = std::filesystem::last_write_time(strPath, ec);
    if (ec) return std::nullopt;
    return stamp;
}

struct COpenHelp {
    QPointer<CHelpWindow> pWindow;
    CFileStamp stamp;
};

// Help windows by the canonical path of their file.
std::map<std::string, COpenHelp>& OpenHelp() {
    static std::map<std::string, COpenHelp> windows;
    return windows;
}

std::string CanonicalPath(const std::string& strPath) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(strPath, ec);
    return ec ? strPath : p.string();
}

constexpr int kLocalRole = Qt::UserRole;

std::string g_strReader;
bool g_bReaderFailedToStart = false;

} // namespace

bool HelpReaderFailedToStart() {
    return g_bReaderFailedToStart;
}

void SetHelpReaderProgram(const std::string& strProgram) {
    g_strReader = strProgram;
}

QUrl CHelpWindow::TopicUrl(const std::string& strObjectPath) {
    const std::size_t hash = strObjectPath.find('#');
    QUrl url;
    url.setScheme(QLatin1String(kScheme));
    url.setPath(QString::fromStdString(strObjectPath.substr(0, hash)));
    if (hash != std::string::npos)
        url.setFragment(QString::fromStdString(strObjectPath.substr(hash + 1)));
    return url;
}

std::optional<CHelpBundle> ReadHelpInHelper(const std::string& strPath) {
    QProcess helper;
    helper.setProcessChannelMode(QProcess::SeparateChannels);
    helper.setStandardErrorFile(QProcess::nullDevice());
    // Its own process group, so that what a stalled reader has forked is stopped with it.
    helper.setChildProcessModifier([] { setpgid(0, 0); });
    g_bReaderFailedToStart = false;
    helper.start(
        QString::fromStdString(g_strReader.empty() ? GetExeDir() + "curvist-chm" : g_strReader),
        {QString::fromStdString(strPath)});
    if (!helper.waitForStarted(kHelpReadLimitMs)) {
        g_bReaderFailedToStart = helper.error() == QProcess::FailedToStart;
        return std::nullopt;
    }
    const pid_t group = static_cast<pid_t>(helper.processId());
    // The group outlives its leader only through what the reader forked; none of that may stay.
    struct CGroupKill {
        pid_t group;
        ~CGroupKill() { kill(-group, SIGKILL); }
    } const groupKill{group};
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    // Read as it comes, so a large manual never blocks the helper on a full pipe, and stop at
    // the time limit or when the helper hands back more than any manual holds.
    while (helper.state() != QProcess::NotRunning) {
        const qint64 left = kHelpReadLimitMs - clock.elapsed();
        if (left <= 0 || out.size() > static_cast<qsizetype>(2 * kMaxHelpBundleBytes)) {
            kill(-group, SIGKILL);
            helper.kill();
            helper.waitForFinished(-1);
            return std::nullopt;
        }
        helper.waitForReadyRead(static_cast<int>(std::min<qint64>(left, 100)));
        out += helper.readAllStandardOutput();
    }
    out += helper.readAllStandardOutput();
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0) return std::nullopt;
    auto bundle = DecodeHelpBundle(std::string_view(out.constData(), out.size()));
    if (bundle) bundle->m_strPath = strPath;
    return bundle;
}

CHelpWindow* CHelpWindow::Create(const std::string& strPath, QWidget* pParent) {
    auto bundle = ReadHelpInHelper(strPath);
    if (!bundle) return nullptr;
    auto* pWindow = new CHelpWindow(std::make_unique<CHelpBundle>(std::move(*bundle)), pParent);
    pWindow->ShowTopic({});
    return pWindow;
}

CHelpWindow::CHelpWindow(std::unique_ptr<CHelpBundle> pLoader, QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_pLoader(std::move(pLoader)) {
    setAttribute(Qt::WA_DeleteOnClose);
    // Help open on its own must not keep the program alive once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_pContents = new QTreeWidget;
    m_pContents->setHeaderHidden(true);
    m_pContents->setColumnCount(1);
    m_pBrowser = new CHelpBrowser(*m_pLoader, this);
    m_pBrowser->setOpenLinks(false);

    auto* pToolBar = new QToolBar;
    pToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QAction* pBack =
        pToolBar->addAction(QString::fromUtf8("后退"), m_pBrowser, &QTextBrowser::backward);
    QAction* pForward =
        pToolBar->addAction(QString::fromUtf8("前进"), m_pBrowser, &QTextBrowser::forward);
    pToolBar->addAction(QString::fromUtf8("主页"), this, [this] { ShowTopic({}); });
    pBack->setEnabled(false);
    pForward->setEnabled(false);
    connect(m_pBrowser, &QTextBrowser::backwardAvailable, pBack, &QAction::setEnabled);
    connect(m_pBrowser, &QTextBrowser::forwardAvailable, pForward, &QAction::setEnabled);

    auto* pSplitter = new QSplitter(Qt::Horizontal);
    pSplitter->addWidget(m_pContents);
    pSplitter->addWidget(m_pBrowser);
    pSplitter->setStretchFactor(1, 1);
    pSplitter->setSizes({220, 680});

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(pToolBar);
    pLayout->addWidget(pSplitter, 1);

    FillContents();
    connect(m_pContents, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* pItem) { OnContentsItem(pItem); });
    connect(m_pContents, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* pItem) { OnContentsItem(pItem); });
    connect(m_pBrowser, &QTextBrowser::sourceChanged, this, &CHelpWindow::OnSourceChanged);
    connect(m_pBrowser, &QTextBrowser::anchorClicked, this, &CHelpWindow::OnAnchorClicked);

    setWindowTitle(QString::fromStdString(m_pLoader->GetTitle()));
    resize(900, 640);
}

// The browser reads through the loader, which goes before the child widgets would.
CHelpWindow::~CHelpWindow() {
    delete m_pBrowser;
}

void CHelpWindow::FillContents() {
    // The last item seen at each level is the parent of the next deeper entry.
    std::vector<QTreeWidgetItem*> parents;
    for (const CHelpTopic& topic : m_pLoader->GetContents()) {
        const std::size_t level =
            std::min(static_cast<std::size_t>(topic.m_nLevel), parents.size());
        parents.resize(level);
        auto* pItem = parents.empty() ? new QTreeWidgetItem(m_pContents)
                                      : new QTreeWidgetItem(parents.back());
        pItem->setText(0, QString::fromStdString(topic.m_strName));
        if (!topic.m_strLocal.empty())
            pItem->setData(0, kLocalRole,
                           QString::fromStdString(ResolveHelpPath("/", topic.m_strLocal)));
        parents.push_back(pItem);
    }
    m_pContents->expandAll();
}

void CHelpWindow::ShowTopic(const std::string& strTopic) {
    const std::string path =
        strTopic.empty() ? m_pLoader->GetDefaultTopic() : ResolveHelpPath("/", strTopic);
    if (!path.empty()) m_pBrowser->setSource(TopicUrl(path));
}

void CHelpWindow::OnContentsItem(QTreeWidgetItem* pItem) {
    if (!pItem) return;
    const QString local = pItem->data(0, kLocalRole).toString();
    if (!local.isEmpty()) m_pBrowser->setSource(TopicUrl(local.toStdString()));
}

void CHelpWindow::OnSourceChanged(const QUrl& url) {
    if (m_pLoader->GetTitle().empty()) setWindowTitle(m_pBrowser->documentTitle());
    // Keep the contents in step with the page shown: the entry with the same address, else the
    // first entry of the same page.
    const QString page = url.path();
    const QString exact = url.hasFragment() ? page + '#' + url.fragment() : page;
    QTreeWidgetItem* pMatch = nullptr;
    for (QTreeWidgetItemIterator it(m_pContents); *it; ++it) {
        const QString local = (*it)->data(0, kLocalRole).toString();
        if (local == exact) {
            pMatch = *it;
            break;
        }
        if (!pMatch && local.section('#', 0, 0) == page) pMatch = *it;
    }
    const QSignalBlocker blocker(m_pContents);
    m_pContents->setCurrentItem(pMatch);
}

void CHelpWindow::OnAnchorClicked(const QUrl& url) {
    const QUrl target = url.isRelative() ? m_pBrowser->source().resolved(url) : url;
    if (target.scheme() == QLatin1String(kScheme)) {
        m_pBrowser->setSource(target);
    } else {
        QDesktopServices::openUrl(target);
    }
}

QWidget* CurvistHtmlHelp(QWidget* pCaller, const std::string& strPath, unsigned nCommand,
                         std::uintptr_t data) {
    if (nCommand != HH_DISPLAY_TOPIC) return nullptr;
    g_bReaderFailedToStart = false;
    auto& windows = OpenHelp();
    const std::string key = CanonicalPath(strPath);
    const std::optional<CFileStamp> stamp = StampOf(strPath);

    CHelpWindow* pWindow = nullptr;
    if (auto it = windows.find(key); it != windows.end()) {
        if (it->second.pWindow && stamp && it->second.stamp == *stamp) {
            pWindow = it->second.pWindow;
        } else {
            // The file was removed or replaced: that window shows what is no longer there.
            delete it->second.pWindow.data();
            windows.erase(it);
        }
    }
    if (!pWindow) {
        if (!stamp) return nullptr;
        pWindow = CHelpWindow::Create(strPath, pCaller);
        if (!pWindow) return nullptr;
        windows[key] = COpenHelp{pWindow, *stamp};
        static const bool bQuitHooked = [] {
            QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp, &CloseHelpWindows);
            return true;
        }();
        (void)bQuitHooked;
    }
    pWindow->ShowTopic(data ? reinterpret_cast<const char*>(data) : "");
    pWindow->show();
    pWindow->raise();
    pWindow->activateWindow();
    return pWindow;
}

void CloseHelpWindows() {
    auto& windows = OpenHelp();
    for (auto& [key, entry] : windows)
        delete entry.pWindow.data();
    windows.clear();
}

QWidget* ShowHelpTopics(QWidget* pFrame, const std::string& strExeDir) {
    const std::string path = strExeDir + kManualFileName;
    // The viewer is a window of its own, as when the desktop is the caller.
    if (QWidget* pHelp = CurvistHtmlHelp(nullptr, path, HH_DISPLAY_TOPIC, 0)) return pHelp;
    ShowMessageBox(pFrame, QMessageBox::Critical, QString::fromUtf8("消息"),
                   QString::fromUtf8(HelpReaderFailedToStart()
                                         ? "无法启动说明书阅读程序 “curvist-chm”。"
                                         : "联机帮助文档 “函数作图器说明书.chm” 已丢失。"));
    return nullptr;
}

QWidget* ShowHelpTopics(QWidget* pFrame) {
    return ShowHelpTopics(pFrame, GetExeDir());
}
