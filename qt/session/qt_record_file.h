#pragma once
// A session log or capture file on QFile: appended to, never truncated; one UTF-8 line per
// append, after the local date and time to the millisecond, handed to the system at once,
// so that a crash loses at most the line in hand.

#include <QFile>
#include <QString>
#include <memory>
#include <variant>

#include "program/record_file.h"

namespace mirvane::qt {

class QtRecordFile final : public RecordFile {
public:
    // Opens `path` for appending, creating it; a new (empty) file first gets `header` as
    // its first line, when one is given. The system's reason when either fails.
    static std::variant<std::unique_ptr<QtRecordFile>, QString> open(const QString& path, const QString& header);

    std::u16string name() const override;
    std::optional<std::u16string> append(std::u16string_view line) override;

private:
    explicit QtRecordFile(const QString& path) : file_(path) {}
    bool write(const QString& line);

    QFile file_;
};

}  // namespace mirvane::qt
