#pragma once
// Qt's own texts (the standard file, print and page dialogs, their questions) in Chinese,
// whatever the system locale: the program speaks Chinese everywhere else too.

class QCoreApplication;
class QFileDialog;

// Makes Chinese (China) the default locale and installs Qt's zh_CN translation once; false
// when the translation is not installed on this system (the Debian package
// qt6-translations-l10n), and Qt's dialogs then stay English.
bool InstallChineseQtTranslation(QCoreApplication* pApp);

// Qt's file dialog writes sizes and dates in the system's locale whatever the default one
// is, and sizes in units Chinese readers do not use (KiB): this shows them in Chinese.
void ShowFileDetailsInChinese(QFileDialog* pDlg);
