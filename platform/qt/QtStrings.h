#pragma once
// QString at the widget boundary; record strings stay code-page-936 bytes.

#include <QString>
#include <string>

QString FromCp936(const std::string& cp936);
// A UTF-8 literal of the user interface.
inline QString U(const char* szUtf8) {
    return QString::fromUtf8(szUtf8);
}
std::string ToCp936(const QString& text);
