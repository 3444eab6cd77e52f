#include "unattended/expectation.h"

#include <algorithm>

#include "logs/message_log.h"
#include "vocabulary/hex_text.h"

namespace mirvane::unattended {

namespace {

constexpr std::u16string_view kNoColumn = u"__";

std::vector<std::u16string_view> columns(std::u16string_view code) {
    std::vector<std::u16string_view> out;
    std::size_t i = 0;
    while (i < code.size()) {
        const std::size_t end = std::min(code.find(u' ', i), code.size());
        if (end > i) out.push_back(code.substr(i, end - i));
        i = end + 1;
    }
    return out;
}

// A monitor entry has its code in the last column, after columns left empty.
bool is_monitor(const std::vector<std::u16string_view>& cols) { return !cols.empty() && cols.front() == kNoColumn; }

bool same_byte(std::u16string_view column, std::uint8_t byte) { return column == hex_text(byte); }

// The value after the label's colon (full width or not) and its spaces, "" before any report.
std::u16string_view label_value(std::u16string_view caption) {
    const std::size_t colon = caption.find_last_of(u"：:");
    std::u16string_view value = colon == caption.npos ? caption : caption.substr(colon + 1);
    while (!value.empty() && (value.front() == u' ' || value.front() == u'\u3000')) value.remove_prefix(1);
    return value;
}

}  // namespace

std::u16string Entry::line() const { return code + std::u16string(kColumnSeparator) + meaning; }

bool parse_entry(std::u16string_view line, Entry& entry) {
    const std::size_t separator = line.find(kColumnSeparator);
    if (separator == line.npos) return false;
    entry.code = line.substr(0, separator);
    entry.meaning = line.substr(separator + kColumnSeparator.size());
    return true;
}

bool entry_matches(const Step& step, const Entry& entry) {
    const auto cols = columns(entry.code);
    if (cols.empty()) return false;
    switch (step.word) {
        case Word::ExpectNothing: return true;
        case Word::ExpectMonitor: return is_monitor(cols) && same_byte(cols.back(), step.codes.front());
        case Word::ExpectText: return entry.meaning.find(step.text) != std::u16string::npos;
        case Word::ExpectNo:
        case Word::Expect:
            if (is_monitor(cols) || cols.size() < step.codes.size()) return false;
            for (std::size_t i = 0; i < step.codes.size(); ++i) {
                if (!same_byte(cols[i], step.codes[i])) return false;
            }
            return true;
        default: return false;
    }
}

bool labels_match(const Step& step, const Labels& labels) {
    switch (step.word) {
        case Word::ExpectLevel: {
            const std::u16string_view value = label_value(labels.level);
            if (value.empty() || value.size() > 2) return false;
            int level = 0;
            for (const char16_t c : value) {
                if (c < u'0' || c > u'9') return false;
                level = level * 10 + (c - u'0');
            }
            return level >= step.low && level <= step.high;
        }
        case Word::ExpectTone: {
            const std::u16string_view value = label_value(labels.tone);
            return value.size() == 1 && hex_value(value.front()) == step.low;
        }
        case Word::ExpectDialData: return labels.dial_data.ends_with(step.text);
        default: return false;
    }
}

bool waits_for_entry(Word word) {
    return word != Word::ExpectLevel && word != Word::ExpectTone && word != Word::ExpectDialData;
}

std::size_t find_entry(const Step& step, const std::vector<Entry>& entries, std::size_t from) {
    for (std::size_t i = from; i < entries.size(); ++i) {
        if (entry_matches(step, entries[i])) return i;
    }
    return entries.size();
}

}  // namespace mirvane::unattended
