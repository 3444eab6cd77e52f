#pragma once
// A file that keeps what the panes cannot: every entry of a session, or every byte read.
// The core says what goes in and when; the binding writes it, stamped and flushed.

#include <optional>
#include <string>
#include <string_view>

namespace mirvane {

class RecordFile {
public:
    virtual ~RecordFile() = default;

    // The file as the operator named it, for messages.
    virtual std::u16string name() const = 0;
    // Appends `line` as one line after the local date and time; the system's reason when
    // the line could not be written.
    virtual std::optional<std::u16string> append(std::u16string_view line) = 0;
};

}  // namespace mirvane
