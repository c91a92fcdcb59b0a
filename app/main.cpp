// The desktop plotter: one document, one main window.
#include "app/CurvistApp.h"
#include "app/FileMessage.h"
#include "app/MainFrame.h"
#include "platform/qt/Translations.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>

namespace {

// --help and --version answer before Qt starts, so they need no display.
bool AnswerInfoOption(int argc, char** argv, int& nExit) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) return false;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("usage: curvist [--] [FILE.cvx]\n"
                       "  FILE.cvx   open that function file; without it the document is new\n"
                       "  --help     this text\n"
                       "  --version  the program's version\n",
                       stdout);
            nExit = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("curvist %s\n", CURVIST_VERSION);
            nExit = 0;
            return true;
        }
    }
    return false;
}

// Memory running out in any event (a panel button, the mouse, a repaint) ends that event's work,
// never the program; the menu commands catch it themselves.
class CCurvistApplication : public QApplication {
  public:
    using QApplication::QApplication;
    std::function<void()> m_onOutOfMemory;

    bool notify(QObject* pReceiver, QEvent* pEvent) override {
        try {
            return QApplication::notify(pReceiver, pEvent);
        } catch (const std::bad_alloc&) {
            // Told once the event is over: a message box inside a repaint would nest.
            if (m_onOutOfMemory) QTimer::singleShot(0, this, m_onOutOfMemory);
            return true;
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    int nExit = 0;
    if (AnswerInfoOption(argc, argv, nExit)) return nExit;
    CCurvistApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvist"));
    // The Wayland app id and X11 hint that tie the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumivo.Curvist"));
    InstallChineseQtTranslation(&qapp);
    // Qt has taken its own options out of argv; the rest are read as bytes, since
    // QApplication::arguments() would lose a file name that is not UTF-8.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << FromLocalPath(argv[i]);
    // "--" lets a file name begin with a dash; Qt has taken its own options already.
    if (!args.isEmpty() && args.front() == QStringLiteral("--")) {
        args.removeFirst();
    } else if (!args.isEmpty() && args.front().startsWith(u'-')) {
        std::fprintf(stderr, "curvist: unknown option %s (try --help)\n",
                     args.front().toLocal8Bit().constData());
        return 1;
    }
    CCurvistApp app;
    qapp.m_onOutOfMemory = [&app] {
        if (app.MainFrame()) app.MainFrame()->OnOutOfMemory();
    };
    if (!app.InitInstance(args)) return 1;
    return QApplication::exec();
}
