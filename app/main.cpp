// The desktop plotter: one document, one main window.
#include "app/CurvistApp.h"
#include "platform/qt/Translations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Curvist"));
    InstallChineseQtTranslation(&qapp);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    CCurvistApp app;
    if (!app.InitInstance(args)) return 1;
    return QApplication::exec();
}
