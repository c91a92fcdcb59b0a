#pragma once
// QString at the widget boundary; record strings stay code-page-936 bytes.

#include <QString>
#include <string>

QString FromCp936(const std::string& cp936);
std::string ToCp936(const QString& text);
