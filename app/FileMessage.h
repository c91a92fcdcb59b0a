#pragma once
// What the window's file commands share: the local form of a path, the message of a file that
// could not be read or written, and the question before a save replaces a file.

#include "platform/FileError.h"

#include <QString>
#include <string>

class QWidget;

// The path in the file system's own encoding.
std::string LocalPath(const QString& path);

// "无法打开文件“…”：文件已损坏。" with, where it helps, the technical detail on a line of its own.
// szVerb leads the sentence ("无法打开", "无法保存").
QString FileErrorMessage(const char* szVerb, const QString& path, EFileError why,
                         const std::string& error);

// The file a save command writes for the name a file dialog returned: absolute, with
// ".suffix" added when the name has none. The dialog asked about replacing the name it
// returned; a name the suffix made is asked here. Empty when the user would not replace it.
QString ConfirmSavePath(QWidget* pParent, const QString& chosen, const QString& suffix);
