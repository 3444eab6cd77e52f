#pragma once
// A file that keeps what the panes cannot: every entry of a session, or every byte read.
// The core says what goes in and when; the binding writes it, stamped and flushed.

#include <functional>
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

    // Set by the core: how the binding tells a failure it learns after append has returned
    // (a reader that went while lines waited for it). The file is written no more. Called on
    // the event thread from an event of the binding's own, never inside append.
    std::function<void(std::u16string_view reason)> failed_later;
};

}  // namespace mirvane
