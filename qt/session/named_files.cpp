#include "qt/session/named_files.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>

namespace mirvane::qt {

namespace {

constexpr char16_t kFirstEscape = 0xDC80, kLastEscape = 0xDCFF;

// Where a file not made yet would be made.
QByteArray folder_of(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : path.left(slash + 1);
}

}  // namespace

QString argument_text(const char* argument) {
    const QByteArrayView bytes(argument);
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes) return text;
    text.clear();
    for (qsizetype at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        // A sequence is taken when it decodes and encodes back to itself, which no stray
        // byte, overlong form or encoded surrogate does.
        if (length > 0 && at + length <= bytes.size()) {
            const QByteArrayView sequence = bytes.sliced(at, length);
            const QString decoded = QString::fromUtf8(sequence);
            if (decoded.toUtf8() == sequence) {
                text += decoded, at += length;
                continue;
            }
        }
        text += QChar(char16_t(0xDC00 + lead));
        ++at;
    }
    return text;
}

QByteArray argument_bytes(const QString& text) {
    QByteArray bytes;
    qsizetype start = 0;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at].unicode();
        if (unit < kFirstEscape || unit > kLastEscape || (at > 0 && text[at - 1].isHighSurrogate())) continue;
        bytes += text.sliced(start, at - start).toUtf8();
        bytes += static_cast<char>(unit - 0xDC00);
        start = at + 1;
    }
    return bytes + text.sliced(start).toUtf8();
}

bool FileIdentity::same_as(const FileIdentity& other) const {
    if (special != 0 && special == other.special) return true;
    return device == other.device && inode == other.inode && missing_name == other.missing_name;
}

std::optional<FileIdentity> identify(const QByteArray& path) {
    struct stat info {};
    if (::stat(path.constData(), &info) == 0) {
        return FileIdentity{info.st_dev, info.st_ino, S_ISCHR(info.st_mode) ? info.st_rdev : 0, {}};
    }
    if (errno != ENOENT) return std::nullopt;
    if (::stat(folder_of(path).constData(), &info) != 0) return std::nullopt;
    return FileIdentity{info.st_dev, info.st_ino, 0, path.mid(path.lastIndexOf('/') + 1)};
}

int append_refusal(const QByteArray& path) {
    struct stat info {};
    if (::stat(path.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return EISDIR;
        return ::access(path.constData(), W_OK) == 0 ? 0 : errno;
    }
    if (errno != ENOENT) return errno;
    const QByteArray folder = folder_of(path);
    if (::stat(folder.constData(), &info) != 0) return errno;
    if (!S_ISDIR(info.st_mode)) return ENOTDIR;
    return ::access(folder.constData(), W_OK | X_OK) == 0 ? 0 : errno;
}

QByteArray device_path(const QString& device) {
    const QByteArray path = argument_bytes(device);
    if (path.startsWith('/') || path.startsWith("./") || path.startsWith("../")) return path;
    return "/dev/" + path;
}

}  // namespace mirvane::qt
