#pragma once
// What the window's file commands share: the local form of a path, the message of a file that
// could not be read or written, and the question before a save replaces a file.

#include "platform/FileError.h"

#include <QString>
#include <string>

class QWidget;

// A file name is bytes; the window holds it as a QString that keeps every byte: UTF-8 decoded,
// each byte that is not UTF-8 held as U+DC80 + byte (as Python's "surrogateescape"), so a name
// from another system (GBK from a Windows archive) opens and saves under its own bytes.
// FromLocalPath makes that QString, LocalPath gives the bytes back.
std::string LocalPath(const QString& path);
QString FromLocalPath(const std::string& bytes);
// The path for people to read: a name that is not UTF-8 is read as code page 936.
QString DisplayPath(const QString& path);

// "无法打开文件“…”：文件已损坏。" with, where it helps, the technical detail on a line of its own.
// szVerb leads the sentence ("无法打开", "无法保存"). A file damaged by a failed write in place
// names the copy of its old bytes (backup, a local path) on a line of its own.
QString FileErrorMessage(const char* szVerb, const QString& path, EFileError why,
                         const std::string& error, const std::string& backup = {});

// The file a save command writes for the name a file dialog returned: absolute, with
// ".suffix" added when the name has none. The dialog asked about replacing the name it
// returned; a name the suffix made is asked here. Empty when the user would not replace it.
QString ConfirmSavePath(QWidget* pParent, const QString& chosen, const QString& suffix);
