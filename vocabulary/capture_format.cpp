#include "vocabulary/capture_format.h"

#include "vocabulary/hex_text.h"
#include "vocabulary/words.h"

namespace mirvane {

namespace {

using std::chrono::milliseconds;

constexpr std::string_view kActionNames[] = {"start", "stop", "clear", "sent"};

std::optional<CaptureAction> action_named(std::string_view word) {
    for (std::size_t i = 0; i < std::size(kActionNames); ++i) {
        if (word == kActionNames[i]) return static_cast<CaptureAction>(i);
    }
    return std::nullopt;
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

// A record, nothing for a blank line or a comment, or what is wrong with the line.
std::variant<std::monostate, CaptureRecord, std::string> read_line(std::string_view text) {
    Words words(text);
    const auto date = words.next();
    if (!date || date->front() == '#') return std::monostate{};
    const auto day = day_of(*date);
    if (!day) return quoted(*date) + " is not a date (yyyy-mm-dd)";
    const std::string_view time = words.next().value_or("");
    const auto since_midnight = time_of_day(time);
    if (!since_midnight) return quoted(time) + " is not a time of day (hh:mm:ss.mmm)";
    CaptureRecord record{*day + *since_midnight, {}, {}, {}, 0};
    const std::string_view word = words.next().value_or("");
    record.line = line_named(word);
    if (!record.line) {
        const auto action = action_named(word);
        if (!action) {
            return quoted(word) + " is neither a line (terminal or monitor) nor an action (start, stop, clear or sent)";
        }
        record.action = *action;
        if (*action != CaptureAction::sent) {
            if (const auto extra = words.next()) return quoted(*extra) + " follows an action, which takes no bytes";
            return record;
        }
    }
    while (const auto next = words.next()) {
        const auto byte = hex_byte(*next);
        if (!byte) return quoted(*next) + " is not a hex byte (two hex digits, 00 to FF)";
        record.bytes.push_back(*byte);
    }
    if (record.bytes.empty()) return std::string("a read or a send needs one or more bytes in hex");
    return record;
}

}  // namespace

std::u16string CaptureRecord::time_of_day() const {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(at).count() % 86400;
    const auto two = [](long long n) { return std::u16string{char16_t(u'0' + n / 10), char16_t(u'0' + n % 10)}; };
    return two(seconds / 3600) + u":" + two(seconds / 60 % 60) + u":" + two(seconds % 60);
}

std::string_view action_name(CaptureAction action) { return kActionNames[static_cast<std::size_t>(action)]; }

std::u16string capture_read_text(Line line, std::span<const std::uint8_t> bytes) {
    const std::string_view name = line_name(line);
    std::u16string text(name.begin(), name.end());
    for (const std::uint8_t byte : bytes) {
        text += u' ';
        text += hex_text(byte);
    }
    return text;
}

std::u16string capture_action_text(CaptureAction action) {
    const std::string_view name = action_name(action);
    return std::u16string(name.begin(), name.end());
}

std::u16string capture_send_text(std::uint8_t code) { return u"sent " + hex_text(code); }

std::variant<Capture, std::string> parse_capture(std::string_view text, std::string_view name) {
    Capture capture;
    for (int number = 1; !text.empty(); ++number) {
        const std::size_t end = text.find('\n');
        const bool cut = end == std::string_view::npos;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(cut ? text.size() : end + 1);
        const auto read = read_line(line);
        const std::string where = std::string(name) + ':' + std::to_string(number) + ": ";
        if (const auto* what = std::get_if<std::string>(&read)) {
            if (!cut) return where + *what;
            capture.warnings.push_back(where + "the last line is cut short (" + *what + "); passed over");
        } else if (const auto* record = std::get_if<CaptureRecord>(&read)) {
            capture.records.push_back(*record);
            capture.records.back().file_line = number;
        }
    }
    return capture;
}

}  // namespace mirvane
