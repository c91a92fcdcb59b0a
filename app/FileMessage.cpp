#include "app/FileMessage.h"

#include "app/AppMessage.h"
#include "platform/Cp936.h"
#include "platform/qt/QtStrings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr char16_t kEscape = 0xDC00;

bool IsEscapedByte(char16_t c) {
    return c >= kEscape + 0x80 && c <= kEscape + 0xFF;
}

// The length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t Utf8Length(const std::string& s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned c = b(i);
    const std::size_t n = c < 0x80                 ? 1
                          : c >= 0xC2 && c <= 0xDF ? 2
                          : c >= 0xE0 && c <= 0xEF ? 3
                          : c >= 0xF0 && c <= 0xF4 ? 4
                                                   : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((c == 0xE0 && b(i + 1) < 0xA0) || (c == 0xED && b(i + 1) > 0x9F) ||
        (c == 0xF0 && b(i + 1) < 0x90) || (c == 0xF4 && b(i + 1) > 0x8F))
        return 0;
    return n;
}

} // namespace

std::string LocalPath(const QString& path) {
    std::string out;
    out.reserve(static_cast<std::size_t>(path.size()));
    qsizetype from = 0;
    for (qsizetype i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsEscapedByte(path[i].unicode())) continue;
        out += path.mid(from, i - from).toUtf8().toStdString();
        if (i < path.size()) out += static_cast<char>(path[i].unicode() - kEscape);
        from = i + 1;
    }
    return out;
}

QString FromLocalPath(const std::string& bytes) {
    QString out;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= bytes.size();) {
        const std::size_t n = i < bytes.size() ? Utf8Length(bytes, i) : 0;
        if (n) {
            i += n;
            continue;
        }
        out += QString::fromUtf8(bytes.data() + from, static_cast<qsizetype>(i - from));
        if (i == bytes.size()) break;
        out += QChar(static_cast<char16_t>(kEscape + static_cast<unsigned char>(bytes[i])));
        from = ++i;
    }
    return out;
}

QString DisplayPath(const QString& path) {
    if (std::none_of(path.begin(), path.end(), [](QChar c) { return IsEscapedByte(c.unicode()); }))
        return path;
    return QString::fromStdString(Cp936ToUtf8(LocalPath(path)));
}

QString FileErrorMessage(const char* szVerb, const QString& path, EFileError why,
                         const std::string& error, const std::string& backup) {
    QString text = U(szVerb) + U("文件“") + QDir::toNativeSeparators(DisplayPath(path)) + U("”：") +
                   U(FileErrorReason(why)) + U("。");
    if (FileErrorNeedsDetail(why) && !error.empty()) {
        // The file's name is already in the sentence: keep only what follows it.
        const std::string named = "\"" + LocalPath(path) + "\": ";
        const std::size_t at = error.find(named);
        const std::string detail =
            at == std::string::npos ? error : error.substr(at + named.size());
        text += U("\n（") + QString::fromLocal8Bit(detail.c_str()) + U("）");
    }
    if (!backup.empty())
        text +=
            U("\n原文件的副本保存在“") + QDir::toNativeSeparators(FromLocalPath(backup)) + U("”。");
    return text;
}

QString ConfirmSavePath(QWidget* pParent, const QString& chosen, const QString& suffix) {
    QString path = chosen;
    if (QFileInfo(path).suffix().isEmpty()) path += u'.' + suffix;
    path = QFileInfo(path).absoluteFilePath();
    if (path == QFileInfo(chosen).absoluteFilePath() || !QFileInfo::exists(path)) return path;
    const QString text = U("“") + QFileInfo(path).fileName() + U("”已存在。\n要替换它吗？");
    if (AppMessageBox(pParent, QMessageBox::Warning, text, QMessageBox::Yes | QMessageBox::No) ==
        QMessageBox::Yes)
        return path;
    return {};
}
