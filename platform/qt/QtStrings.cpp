#include "platform/qt/QtStrings.h"

#include "platform/Cp936.h"

QString FromCp936(const std::string& cp936) {
    return QString::fromStdString(Cp936ToUtf8(cp936));
}

std::string ToCp936(const QString& text) {
    return Utf8ToCp936(text.toStdString());
}
