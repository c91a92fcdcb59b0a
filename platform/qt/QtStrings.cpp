#include "platform/qt/QtStrings.h"

#include "platform/Cp936.h"

QString FromCp936(const std::string& cp936) {
    return QString::fromStdString(Cp936ToUtf8(cp936));
}

std::string ToCp936(const QString& text) {
    return Utf8ToCp936(text.toStdString());
}

QString FromCp936Elided(std::string_view cp936, std::size_t maxChars) {
    std::size_t at = 0;
    for (std::size_t n = 0; n < maxChars && at < cp936.size(); ++n) {
        const auto lead = static_cast<unsigned char>(cp936[at]);
        at += lead >= 0x81 && lead <= 0xFE && at + 1 < cp936.size() ? 2 : 1;
    }
    if (at >= cp936.size()) return FromCp936(std::string(cp936));
    return FromCp936(std::string(cp936.substr(0, at))) + QChar(0x2026);
}
