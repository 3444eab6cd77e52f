#include "vocabulary/words.h"

#include <cstdio>

#include "vocabulary/hex_text.h"

namespace mirvane {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// 100000000 as "100,000,000".
std::string with_thousands(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
    return digits;
}

}  // namespace

std::string quoted(std::string_view word) {
    std::string shown;
    std::size_t taken = 0;
    for (; taken < word.size(); ++taken) {
        const auto c = static_cast<unsigned char>(word[taken]);
        char piece[8] = {static_cast<char>(c), '\0'};
        if (c < 0x20 || c > 0x7E || c == '\\') std::snprintf(piece, sizeof piece, "\\x%02X", c);
        if (shown.size() + std::char_traits<char>::length(piece) > kQuotedLength) break;
        shown += piece;
    }
    if (taken == word.size()) return "'" + shown + "'";
    return "'" + shown + "…' (" + with_thousands(word.size()) + " characters)";
}

std::optional<std::string_view> Words::next() {
    std::size_t start = 0;
    while (start < rest_.size() && is_blank(rest_[start])) ++start;
    std::size_t end = start;
    while (end < rest_.size() && !is_blank(rest_[end])) ++end;
    const std::string_view word = rest_.substr(start, end - start);
    rest_.remove_prefix(end);
    if (word.empty()) return std::nullopt;
    return word;
}

std::optional<std::uint8_t> hex_byte(std::string_view word) {
    if (word.size() != 2 || hex_value(word[0]) < 0 || hex_value(word[1]) < 0) return std::nullopt;
    return static_cast<std::uint8_t>(hex_value(word[0]) * 16 + hex_value(word[1]));
}

std::optional<int> digits_value(std::string_view digits) {
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace mirvane
