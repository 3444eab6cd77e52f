#include "qt/session/qt_record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "qt/session/named_files.h"

namespace mirvane::qt {

namespace {

std::u16string system_reason(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdU16String(); }

}  // namespace

std::variant<std::unique_ptr<QtRecordFile>, QString> QtRecordFile::open(const QString& path, const QString& header) {
    // A pipe or a FIFO whose reader goes fails the write, as a full disk does, instead of
    // ending the program: every program that keeps a session ignores the signal.
    std::signal(SIGPIPE, SIG_IGN);
    // Non-blocking from the open on: a FIFO without a reader is refused at once (ENXIO),
    // and a slow reader makes a write take less rather than wait. A terminal named here
    // must not become the program's controlling terminal.
    const QByteArray bytes = argument_bytes(path);
    const int descriptor =
        ::open(bytes.constData(), O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        const int error = errno;
        struct stat info {};
        if (error == ENXIO && ::stat(bytes.constData(), &info) == 0 && S_ISFIFO(info.st_mode)) {
            return QStringLiteral("no program reads this FIFO; start its reader first");
        }
        return QString::fromStdU16String(system_reason(error));
    }
    std::unique_ptr<QtRecordFile> record(new QtRecordFile(descriptor, path));
    struct stat info {};
    if (!header.isEmpty() && ::fstat(descriptor, &info) == 0 && info.st_size == 0) {
        if (const auto failure = record->append_unstamped(header.toStdU16String())) {
            return QString::fromStdU16String(*failure);
        }
    }
    return record;
}

QtRecordFile::QtRecordFile(int descriptor, const QString& path) : descriptor_(descriptor), path_(path) {}

QtRecordFile::~QtRecordFile() {
    if (descriptor_ < 0) return;
    write_waiting();
    if (descriptor_ < 0) return;
    if (const qsizetype left = waiting_.size() - sent_; left > 0) {
        std::fprintf(stderr, "mirvane: %s: %lld line(s) left unwritten at exit: its reader did not take them\n",
                     argument_bytes(path_).constData(),
                     static_cast<long long>(QByteArrayView(waiting_).sliced(sent_).count('\n')));
    }
    ::close(descriptor_);
}

std::u16string QtRecordFile::name() const { return path_.toStdU16String(); }

std::optional<std::u16string> QtRecordFile::append(std::u16string_view line) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    return append_unstamped((stamp + u' ').toStdU16String() + std::u16string(line));
}

std::optional<std::u16string> QtRecordFile::append_unstamped(const std::u16string& line) {
    if (failure_) return failure_;
    const QByteArray bytes = (QString::fromStdU16String(line) + u'\n').toUtf8();
    if (waiting_.size() - sent_ + bytes.size() > kWaitingLimit) {
        const qsizetype lost = QByteArrayView(waiting_).sliced(sent_).count('\n') + 1;
        give_up(QStringLiteral("読み手が読まないまま 8 MB がたまったため、書き込めなかった %1 行を捨てました")
                    .arg(lost)
                    .toStdU16String());
        return failure_;
    }
    waiting_ += bytes;
    if (!write_waiting()) return failure_;
    return std::nullopt;
}

bool QtRecordFile::write_waiting() {
    while (sent_ < waiting_.size()) {
        const ssize_t written = ::write(descriptor_, waiting_.constData() + sent_, waiting_.size() - sent_);
        if (written > 0) {
            sent_ += written;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            give_up(system_reason(written < 0 ? errno : EIO));
            return false;
        }
    }
    // Taken whole: the buffer starts again; otherwise it is cut once a megabyte has gone,
    // so that draining a long wait does not move what is left at every write.
    if (sent_ == waiting_.size() || sent_ > (qsizetype{1} << 20)) waiting_.remove(0, std::exchange(sent_, 0));
    // Watched only once a reader falls behind, from the event loop the file is written in.
    if (!waiting_.isEmpty() && !writable_) {
        writable_ = std::make_unique<QSocketNotifier>(descriptor_, QSocketNotifier::Write);
        QObject::connect(writable_.get(), &QSocketNotifier::activated, [this] { on_writable(); });
    }
    if (writable_) writable_->setEnabled(!waiting_.isEmpty());
    return true;
}

void QtRecordFile::give_up(std::u16string reason) {
    failure_ = std::move(reason);
    if (writable_) writable_->setEnabled(false);
    ::close(std::exchange(descriptor_, -1));
    waiting_.clear(), sent_ = 0;
}

// Lines that waited for a slow reader go when it reads again; a reader that went meanwhile
// is learnt here, after every append has returned, and told through the hook.
void QtRecordFile::on_writable() {
    if (!write_waiting() && failed_later) failed_later(*failure_);
}

}  // namespace mirvane::qt
