#pragma once
// Qt's own texts (the standard file, print and page dialogs, their questions) in Chinese,
// whatever the system locale: the program speaks Chinese everywhere else too.

class QCoreApplication;

// Installs Qt's zh_CN translation once; false when it is not installed on this system (the
// Debian package qt6-translations-l10n), and Qt's dialogs then stay English.
bool InstallChineseQtTranslation(QCoreApplication* pApp);
