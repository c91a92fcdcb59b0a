// The desktop plotter: one document, one main window.
#include "app/CurvistApp.h"
#include "platform/qt/Translations.h"

#include <QApplication>
#include <cstdio>
#include <cstring>

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

} // namespace

int main(int argc, char** argv) {
    int nExit = 0;
    if (AnswerInfoOption(argc, argv, nExit)) return nExit;
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvist"));
    // The Wayland app id and X11 hint that tie the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.lumivo.Curvist"));
    InstallChineseQtTranslation(&qapp);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    // "--" lets a file name begin with a dash; Qt has taken its own options already.
    if (!args.isEmpty() && args.front() == QStringLiteral("--")) {
        args.removeFirst();
    } else if (!args.isEmpty() && args.front().startsWith(u'-')) {
        std::fprintf(stderr, "curvist: unknown option %s (try --help)\n",
                     args.front().toLocal8Bit().constData());
        return 1;
    }
    CCurvistApp app;
    if (!app.InitInstance(args)) return 1;
    return QApplication::exec();
}
