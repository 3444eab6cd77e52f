#pragma once
// A session log or capture file: appended to, never truncated; one UTF-8 line per append,
// after the local date and time to the millisecond, handed to the system at once, so that a
// crash loses at most the line in hand. No file can hold the window: the file is opened
// without waiting for a FIFO's reader and written without blocking, and what a slow reader
// has not taken yet waits here, up to kWaitingLimit, for the file to take more.

#include <QByteArray>
#include <QSocketNotifier>
#include <QString>
#include <memory>
#include <variant>

#include "program/record_file.h"

namespace mirvane::qt {

class QtRecordFile final : public RecordFile {
public:
    // What a reader may leave unread: a line past it gives the file up, naming how many
    // lines were lost. At 600 baud a session fills it in a day and more.
    static constexpr qsizetype kWaitingLimit = qsizetype{8} << 20;

    // Opens `path` for appending, creating it; a new (empty) file first gets `header` as
    // its first line, when one is given. The reason when either fails: a FIFO that nobody
    // reads is refused rather than waited for.
    static std::variant<std::unique_ptr<QtRecordFile>, QString> open(const QString& path, const QString& header);
    // What the file takes at once it gets; the rest is not waited for.
    ~QtRecordFile() override;
    QtRecordFile(const QtRecordFile&) = delete;
    QtRecordFile& operator=(const QtRecordFile&) = delete;

    std::u16string name() const override;
    std::optional<std::u16string> append(std::u16string_view line) override;

private:
    QtRecordFile(int descriptor, const QString& path);
    std::optional<std::u16string> append_unstamped(const std::u16string& line);
    // Hands the system what waits, as much as the file takes now; false once given up.
    bool write_waiting();
    void give_up(std::u16string reason);
    void on_writable();

    int descriptor_;
    QString path_;
    QByteArray waiting_;
    qsizetype sent_ = 0;  // of waiting_, already taken by the file
    std::optional<std::u16string> failure_;
    std::unique_ptr<QSocketNotifier> writable_;
};

}  // namespace mirvane::qt
