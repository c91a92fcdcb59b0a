#pragma once
// Our stand-in for the HTML Help viewer: a window that shows a compiled help file (.chm) with
// its table of contents, and the help command of the main frame that opens the manual.

#include "help/HelpBundle.h"

#include <QUrl>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QTextBrowser;
class QTreeWidget;
class QTreeWidgetItem;

// The one command of the viewer's entry that the program uses.
inline constexpr unsigned HH_DISPLAY_TOPIC = 0;

// The manual's file name beside the executable (UTF-8).
inline constexpr const char* kManualFileName = "函数作图器说明书.chm";

// How long the help reader may take before the file counts as damaged: our manual reads in a
// few milliseconds, and the user waits for no more than this.
inline constexpr int kHelpReadLimitMs = 2000;

// Reads the file in the "curvist-chm" process beside the executable, within the time limit.
// Nothing when that process is missing, fails, crashes, stalls or hands back damaged bytes.
// The process and whatever it starts form a process group of their own, stopped whole.
std::optional<CHelpBundle> ReadHelpInHelper(const std::string& strPath);
// Whether the last read could not start the reader at all (missing, not executable, not a
// program), as opposed to a reader that started and refused the file.
bool HelpReaderFailedToStart();
// The reader program; empty: "curvist-chm" beside the executable. Tests give a stand-in.
void SetHelpReaderProgram(const std::string& strProgram);

class CHelpWindow : public QWidget {
    Q_OBJECT
  public:
    // A window on the file, or nullptr when the file cannot be shown (missing, unreadable,
    // damaged, without a topic, or its reader crashed or took longer than kHelpReadLimitMs).
    // The window deletes itself when closed.
    static CHelpWindow* Create(const std::string& strPath, QWidget* pParent = nullptr);
    ~CHelpWindow() override;

    // Shows a topic of the file ("panel.html#wheel"); the default topic when it is empty.
    void ShowTopic(const std::string& strTopic);

    const CHelpBundle& Loader() const { return *m_pLoader; }
    QTextBrowser* Browser() const { return m_pBrowser; }
    QTreeWidget* Contents() const { return m_pContents; }

    // "chm:/dir/page.html#part": the address our browser gives an object of the file.
    static QUrl TopicUrl(const std::string& strObjectPath);

  private:
    CHelpWindow(std::unique_ptr<CHelpBundle> pLoader, QWidget* pParent);
    void FillContents();
    void OnContentsItem(QTreeWidgetItem* pItem);
    void OnSourceChanged(const QUrl& url);
    void OnAnchorClicked(const QUrl& url);

    std::unique_ptr<CHelpBundle> m_pLoader;
    QTreeWidget* m_pContents = nullptr;
    QTextBrowser* m_pBrowser = nullptr;
};

// The viewer's entry with the platform's signature (caller window, file path, command, data).
// HH_DISPLAY_TOPIC shows the default topic when data is 0, else the topic whose path data points
// to (a NUL-terminated string). Returns the help window, or nullptr when the file cannot be
// shown or the command is unknown. A second request for the same unchanged file raises the
// window it opened before.
QWidget* CurvistHtmlHelp(QWidget* pCaller, const std::string& strPath, unsigned nCommand,
                         std::uintptr_t data);

// Closes every help window (at program end, and between tests).
void CloseHelpWindows();

// The frame's help command: opens the manual that lies beside the executable, or tells the user
// that it is missing, owned by the frame. Returns the help window or nullptr.
QWidget* ShowHelpTopics(QWidget* pFrame);
QWidget* ShowHelpTopics(QWidget* pFrame, const std::string& strExeDir);
