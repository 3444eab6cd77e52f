#include "unattended/test_file.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "commands/dialling.h"
#include "commands/manual_code.h"
#include "vocabulary/hex_text.h"
#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

constexpr int kLevelMost = 15;
constexpr std::size_t kParametersMost = 4;

using Words = std::vector<std::u16string>;

bool is_space(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\u3000'; }

Words split(std::u16string_view line) {
    Words words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_space(line[i])) ++i;
        const std::size_t first = i;
        while (i < line.size() && !is_space(line[i])) ++i;
        if (i > first) words.emplace_back(line.substr(first, i - first));
    }
    return words;
}

std::u16string join(const Words& words, std::size_t from, std::size_t to) {
    std::u16string text;
    for (std::size_t i = from; i < to; ++i) text += (i > from ? u" " : u"") + words[i];
    return text;
}

std::string quoted(std::u16string_view text) { return "'" + to_utf8(text) + "'"; }

// The row whose words open the line, the longest first ("expect no" before "expect").
const WordRow* find_row(const Words& words, std::size_t& used) {
    const WordRow* best = nullptr;
    for (const WordRow& row : test_words()) {
        const Words row_words = split(std::u16string(row.word.begin(), row.word.end()));
        if (row_words.size() > words.size() || (best && row_words.size() <= used)) continue;
        if (std::equal(row_words.begin(), row_words.end(), words.begin())) {
            best = &row;
            used = row_words.size();
        }
    }
    return best;
}

std::optional<milliseconds> duration(std::u16string_view word) {
    const std::string text = to_utf8(word);
    const bool in_ms = text.ends_with("ms");
    const std::size_t unit = in_ms ? 2 : text.ends_with("s") ? 1 : 0;
    if (unit == 0 || text.size() == unit) return std::nullopt;
    const std::string number = text.substr(0, text.size() - unit);
    if (!std::all_of(number.begin(), number.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }) ||
        std::count(number.begin(), number.end(), '.') > 1 || number.front() == '.' || number.back() == '.')
        return std::nullopt;
    // from_chars, not stod: the C locale's decimal point may be a comma.
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    value *= in_ms ? 1.0 : 1000.0;
    if (value > 24 * 3600 * 1000.0) return std::nullopt;
    return milliseconds(static_cast<long long>(value + 0.5));
}

std::optional<std::uint8_t> hex_byte(std::u16string_view word) {
    const auto bytes = parse_hex_codes(word);
    if (!bytes || bytes->size() != 1) return std::nullopt;
    return bytes->front();
}

std::optional<int> small_number(std::u16string_view word) {
    const std::string text = to_utf8(word);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > kLevelMost)
        return std::nullopt;
    return value;
}

// Reads the argument of `row` from words[from, to) into the step; the mistake when it cannot.
std::optional<std::string> read_argument(const WordRow& row, const Words& words, std::size_t from, std::size_t to,
                                         Step& step) {
    const std::string name = "'" + std::string(row.word) + "'";
    const std::size_t count = to - from;
    if (row.takes == Takes::Nothing) {
        if (count == 0) return std::nullopt;
        return name + " takes nothing after it: " + quoted(join(words, from, to));
    }
    if (count == 0) return name + " needs " + std::string(row.argument);
    const std::u16string& first = words[from];
    const auto one_word = [&]() -> std::optional<std::string> {
        if (count == 1) return std::nullopt;
        return name + " takes one word, not " + quoted(join(words, from, to));
    };
    switch (row.takes) {
        case Takes::Name:
        case Takes::Text: step.text = join(words, from, to); return std::nullopt;
        case Takes::Duration: {
            const auto value = duration(first);
            if (!value) return name + " needs a duration such as 500ms or 2s, not " + quoted(first);
            step.duration = *value;
            return one_word();
        }
        case Takes::Number:
        case Takes::Digits:
            if (!is_dialable_number(first)) return name + " takes the digits 0-9, * and #, not " + quoted(first);
            step.text = first;
            return one_word();
        case Takes::Key:
            if (first.size() != 1 || !is_dialable_number(first))
                return name + " takes one of 0-9, * and #, not " + quoted(first);
            step.text = first;
            return one_word();
        case Takes::HexText:
            if (!parse_hex_codes(first)) return name + " takes pairs of hex digits, not " + quoted(first);
            step.text = first;
            return one_word();
        case Takes::Code:
        case Takes::Codes:
            for (std::size_t i = from; i < to; ++i) {
                const auto byte = hex_byte(words[i]);
                if (!byte) return name + " takes codes as two hex digits, not " + quoted(words[i]);
                step.codes.push_back(*byte);
            }
            if (row.takes == Takes::Code) return one_word();
            if (count > 1 + kParametersMost) return name + " takes a code and at most 4 parameters";
            return std::nullopt;
        case Takes::Level: {
            const std::u16string_view text = first;
            const std::size_t dots = text.find(u"..");
            const auto low = small_number(text.substr(0, dots));
            const auto high = dots == text.npos ? low : small_number(text.substr(dots + 2));
            if (!low || !high || *low > *high) return name + " takes 0 to 15, or N..M, not " + quoted(first);
            step.low = *low;
            step.high = *high;
            return one_word();
        }
        case Takes::Tone:
            if (first.size() != 1 || hex_value(first[0]) < 0)
                return name + " takes one hex digit, not " + quoted(first);
            step.low = hex_value(first[0]);
            return one_word();
        case Takes::CodeFor:
        case Takes::For: {
            const std::size_t code = row.takes == Takes::CodeFor ? 1 : 0;
            if (code == 1) {
                const auto byte = hex_byte(first);
                if (!byte) return name + " takes a code as two hex digits, not " + quoted(first);
                step.codes.push_back(*byte);
            }
            if (count != code + 2 || words[from + code] != u"for") return name + " needs " + std::string(row.argument);
            const auto value = duration(words[from + code + 1]);
            if (!value) return name + " needs a duration such as 500ms or 2s, not " + quoted(words[from + code + 1]);
            step.duration = *value;
            return std::nullopt;
        }
        case Takes::Nothing: break;
    }
    return std::nullopt;
}

// The words of a line without its comment: a word that starts with '#' begins one, unless
// it is what dial or key take.
Words without_comment(Words words) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i].front() != u'#') continue;
        if (i == 1 && (words[0] == u"dial" || words[0] == u"key")) continue;
        words.resize(i);
        break;
    }
    return words;
}

}  // namespace

TestFile read_test_file(std::string path, std::u16string_view text) {
    TestFile file{std::move(path), {}, {}};
    milliseconds within = kDefaultWithin;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(u'\n', start), text.size());
        const Words words = without_comment(split(text.substr(start, end - start)));
        start = end + 1;
        ++number;
        if (words.empty()) continue;
        const auto fail = [&](std::string why) { file.mistakes.push_back({number, std::move(why)}); };

        std::size_t used = 0;
        const WordRow* row = find_row(words, used);
        if (row == nullptr) {
            fail("no step begins with " + quoted(words[0]));
            continue;
        }
        Step step;
        step.line = number;
        step.word = row->id;
        step.source = join(words, 0, words.size());
        step.duration = within;
        std::size_t to = words.size();
        const bool waits = row->kind == Kind::Expectation && row->takes != Takes::For && row->takes != Takes::CodeFor;
        if (waits && to >= used + 2 && words[to - 2] == u"within") {
            const auto value = duration(words[to - 1]);
            if (!value) {
                fail("'within' needs a duration such as 500ms or 2s, not " + quoted(words[to - 1]));
                continue;
            }
            step.duration = *value;
            to -= 2;
        }
        if (auto mistake = read_argument(*row, words, used, to, step)) {
            fail(*mistake);
            continue;
        }
        if (row->id == Word::Within) {
            within = step.duration;
        } else if (row->id == Word::Case) {
            const auto same = std::find_if(file.cases.begin(), file.cases.end(),
                                           [&](const TestCase& c) { return c.name == step.text; });
            if (same != file.cases.end()) {
                fail("case " + quoted(step.text) + " is already at line " + std::to_string(same->line));
            }
            file.cases.push_back({step.text, number, {}});
        } else if (file.cases.empty()) {
            fail("a step before the first case");
        } else {
            file.cases.back().steps.push_back(std::move(step));
        }
    }
    for (const TestCase& c : file.cases) {
        if (c.steps.empty()) file.mistakes.push_back({c.line, "case " + quoted(c.name) + " has no steps"});
    }
    if (file.cases.empty() && file.mistakes.empty()) file.mistakes.push_back({0, "no case in the file"});
    std::stable_sort(file.mistakes.begin(), file.mistakes.end(),
                     [](const Mistake& a, const Mistake& b) { return a.line < b.line; });
    return file;
}

std::string describe(const TestFile& file, const Mistake& mistake) {
    return file.path + (mistake.line > 0 ? ":" + std::to_string(mistake.line) : std::string()) + ": " + mistake.why;
}

}  // namespace mirvane::unattended
