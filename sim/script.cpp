#include "sim/script.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "sim/words.h"

namespace mirvane::sim {

namespace {

using std::chrono::milliseconds;

// The value of a run of decimal digits (at most nine of them), or nothing.
std::optional<int> digits_value(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "2026-12-07" as the time from the epoch to its midnight.
std::optional<milliseconds> day_of(std::string_view word) {
    if (word.size() != 10 || word[4] != '-' || word[7] != '-') return std::nullopt;
    const auto year = digits_value(word.substr(0, 4));
    const auto month = digits_value(word.substr(5, 2));
    const auto day = digits_value(word.substr(8, 2));
    if (!year || !month || !day) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok()) return std::nullopt;
    return std::chrono::sys_days(date).time_since_epoch();
}

// "10:15:01.250" as the time since midnight.
std::optional<milliseconds> time_of_day(std::string_view word) {
    if (word.size() != 12 || word[2] != ':' || word[5] != ':' || word[8] != '.') return std::nullopt;
    const auto hours = digits_value(word.substr(0, 2));
    const auto minutes = digits_value(word.substr(3, 2));
    const auto seconds = digits_value(word.substr(6, 2));
    const auto millis = digits_value(word.substr(9, 3));
    if (!hours || !minutes || !seconds || !millis || *hours > 23 || *minutes > 59 || *seconds > 59) {
        return std::nullopt;
    }
    return std::chrono::hours(*hours) + std::chrono::minutes(*minutes) + std::chrono::seconds(*seconds) +
           milliseconds(*millis);
}

// Takes a script or a capture in pieces of any size, a line after another as each one
// ends; the first line refused ends it.
class Reader {
public:
    Reader(std::string_view name, Format format) {
        script_.name = name;
        script_.format = format;
    }

    // Takes every line that ends in piece and keeps the rest for the next piece. False once
    // a line has been refused.
    bool feed(std::string_view piece) {
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
        if (!error_ && !rest_.empty()) take(rest_);
        if (error_) return ScriptError{*error_};
        return std::move(script_);
    }

private:
    void take(std::string_view text) {
        ++line_number_;
        auto what = script_.format == Format::Script ? script_line(text) : capture_line(text);
        if (what) error_ = script_.name + ':' + std::to_string(line_number_) + ": " + *what;
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

    std::optional<std::string> capture_line(std::string_view text) {
        Words words(text);
        const auto date = words.next();
        if (!date || date->front() == '#') return std::nullopt;
        const auto day = day_of(*date);
        if (!day) return quoted(*date) + " is not a date (yyyy-mm-dd)";
        const std::string_view time = words.next().value_or("");
        const auto since_midnight = time_of_day(time);
        if (!since_midnight) return quoted(time) + " is not a time of day (hh:mm:ss.mmm)";
        const std::string_view name = words.next().value_or("");
        const std::optional<Line> line = line_named(name);
        if (!line) {
            return quoted(name) + " is not a line (" + std::string(line_name(Line::terminal)) + " or " +
                   std::string(line_name(Line::monitor)) + ")";
        }
        // Each read follows the one before by the time between them; a clock put back
        // plays it at once, a long wait as the longest delay.
        const milliseconds read_at = *day + *since_midnight;
        if (last_read_) clock_ += std::clamp(read_at - *last_read_, milliseconds(0), kLongestDelay);
        last_read_ = read_at;
        if (auto what = add_step(words, *line)) return what;
        if (script_.steps.back().bytes.empty()) return "a read needs one or more bytes in hex";
        return std::nullopt;
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

    Script script_;
    std::string rest_;  // the start of a line that has not ended yet, however long it is
    int line_number_ = 0;
    milliseconds clock_{0};
    std::optional<milliseconds> last_read_;
    std::optional<std::string> error_;
};

}  // namespace

std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name, Format format) {
    Reader reader(name, format);
    reader.feed(text);
    return std::move(reader).result();
}

std::variant<Script, ScriptError> load_script(const std::string& path, Format format) {
    const auto failure = [&](int error) {
        return ScriptError{path + ": cannot read the " + (format == Format::Script ? "script" : "capture") + ": " +
                           std::strerror(error)};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    Reader reader(path, format);
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
