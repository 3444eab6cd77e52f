#include "qt/session/qt_record_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <csignal>

namespace mirvane::qt {

std::variant<std::unique_ptr<QtRecordFile>, QString> QtRecordFile::open(const QString& path, const QString& header) {
    // A pipe or a FIFO whose reader goes fails the write, as a full disk does, instead of
    // ending the program: every program that keeps a session ignores the signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<QtRecordFile> record(new QtRecordFile(path));
    // A device (/dev/stdout, a terminal) has no end to append at, and Qt warns when asked to
    // seek there. Unbuffered: each line reaches the system as one write, or fails at once.
    const QFileInfo info(path);
    QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    if (!info.exists() || info.isFile()) mode |= QIODevice::Append;
    if (!record->file_.open(mode)) return record->file_.errorString();
    if (!header.isEmpty() && record->file_.size() == 0 && !record->write(header)) {
        return record->file_.errorString();
    }
    return record;
}

std::u16string QtRecordFile::name() const { return file_.fileName().toStdU16String(); }

std::optional<std::u16string> QtRecordFile::append(std::u16string_view line) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    if (write(stamp + u' ' + QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size())))) {
        return std::nullopt;
    }
    return file_.errorString().toStdU16String();
}

bool QtRecordFile::write(const QString& line) {
    const QByteArray bytes = (line + u'\n').toUtf8();
    return file_.write(bytes) == bytes.size();
}

}  // namespace mirvane::qt
