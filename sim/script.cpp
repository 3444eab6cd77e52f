#include "sim/script.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "vocabulary/capture_format.h"
#include "vocabulary/words.h"

namespace mirvane::sim {

namespace {

using std::chrono::milliseconds;

// Takes a script or a capture in pieces of any size, a line after another as each one
// ends; the first line refused ends it.
class Reader {
public:
    Reader(std::string_view name, Format format, milliseconds max_gap)
        : max_gap_(std::clamp(max_gap, milliseconds(0), kLongestGap)) {
        script_.name = name;
        script_.format = format;
    }

    // Takes every line that ends in piece and keeps the rest for the next piece. False once
    // a line has been refused.
    bool feed(std::string_view piece) {
        // A capture is read whole: a line cut short is passed over only when it is the last.
        if (script_.format == Format::Capture) {
            rest_.append(piece);
            return true;
        }
        for (std::size_t end; !error_ && (end = piece.find('\n')) != std::string_view::npos;) {
            if (rest_.empty()) {
                take(piece.substr(0, end));
            } else {
                rest_.append(piece.substr(0, end));
                take(rest_);
                rest_.clear();
            }
            piece.remove_prefix(end + 1);
        }
        if (!error_) rest_.append(piece);
        return !error_;
    }

    // The text has ended; its last line may lack its line end.
    std::variant<Script, ScriptError> result() && {
        if (script_.format == Format::Capture) return take_capture();
        if (!error_ && !rest_.empty()) take(rest_);
        if (error_) return ScriptError{*error_};
        return std::move(script_);
    }

private:
    void take(std::string_view text) {
        ++line_number_;
        if (auto what = script_line(text)) error_ = script_.name + ':' + std::to_string(line_number_) + ": " + *what;
    }

    std::optional<std::string> script_line(std::string_view text) {
        Words words(text.substr(0, text.find('#')));
        const auto delay = words.next();
        if (!delay) return std::nullopt;
        const std::string longest = std::to_string(kLongestDelay.count());
        if (delay->front() != '+') {
            return "a step starts with +DELAY in milliseconds, not " + quoted(*delay);
        }
        if (delay->size() == 1 || delay->size() > 8) {
            return quoted(*delay) + " is not a delay (+0 to +" + longest + " ms)";
        }
        const auto ms = digits_value(delay->substr(1));
        if (!ms) return quoted(*delay) + " is not a delay in milliseconds";
        if (*ms > kLongestDelay.count()) {
            return quoted(*delay) + " is longer than the longest delay, +" + longest + " ms";
        }
        clock_ += milliseconds(*ms);
        return add_step(words, Line::terminal);
    }

    // Each read follows the one before by the time between them; a clock put back plays it at
    // once, a long wait as the longest gap. An action is the operator's: no far side can
    // repeat it, so it is only counted.
    std::variant<Script, ScriptError> take_capture() {
        auto parsed = parse_capture(rest_, script_.name);
        if (auto* error = std::get_if<std::string>(&parsed)) return ScriptError{std::move(*error)};
        Capture& capture = std::get<Capture>(parsed);
        script_.warnings = std::move(capture.warnings);
        std::optional<milliseconds> last_read;
        for (CaptureRecord& record : capture.records) {
            if (!record.line) {
                ++script_.actions[static_cast<std::size_t>(record.action)];
                continue;
            }
            if (last_read) clock_ += std::clamp(record.at - *last_read, milliseconds(0), max_gap_);
            last_read = record.at;
            script_.steps.push_back({clock_, std::move(record.bytes), record.file_line, *record.line});
        }
        return std::move(script_);
    }

    std::optional<std::string> add_step(Words& words, Line line) {
        ScriptStep step{clock_, {}, line_number_, line};
        while (const auto word = words.next()) {
            const auto byte = hex_byte(*word);
            if (!byte) return quoted(*word) + " is not a hex byte (two hex digits, 00 to FF)";
            step.bytes.push_back(*byte);
        }
        script_.steps.push_back(std::move(step));
        return std::nullopt;
    }

    milliseconds max_gap_;
    Script script_;
    std::string rest_;  // the start of a line that has not ended yet, however long it is
    int line_number_ = 0;
    milliseconds clock_{0};
    std::optional<std::string> error_;
};

}  // namespace

std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name, Format format,
                                               milliseconds max_gap) {
    Reader reader(name, format, max_gap);
    reader.feed(text);
    return std::move(reader).result();
}

std::variant<Script, ScriptError> load_script(const std::string& path, Format format, milliseconds max_gap) {
    const auto failure = [&](int error) {
        return ScriptError{path + ": cannot read the " + (format == Format::Script ? "script" : "capture") + ": " +
                           std::strerror(error)};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    Reader reader(path, format, max_gap);
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;  // a directory fails here, with EISDIR
            ::close(fd);
            return failure(error);
        }
        if (n == 0 || !reader.feed(std::string_view(buffer, static_cast<std::size_t>(n)))) break;
    }
    ::close(fd);
    return std::move(reader).result();
}

}  // namespace mirvane::sim
