#pragma once
// Words of typed inputs (the simulator's command lines and scripts, captures), and how a message
// quotes one: whatever a file holds, the message stays one short, printable line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mirvane {

// A word in quotes for a message, at most kQuotedLength characters of it shown: each byte
// outside printable ASCII, and the backslash, as \xNN. A longer word is cut, and its length
// follows: 'AAAA…' (100,000 characters).
inline constexpr std::size_t kQuotedLength = 24;
std::string quoted(std::string_view word);

// The words of a line, separated by spaces, tabs or carriage returns, one at a time.
class Words {
public:
    explicit Words(std::string_view line) : rest_(line) {}
    std::optional<std::string_view> next();

private:
    std::string_view rest_;
};

// The value of a run of decimal digits (at most nine of them), or nothing.
std::optional<int> digits_value(std::string_view digits);

// Two hexadecimal digits of either case as a byte.
std::optional<std::uint8_t> hex_byte(std::string_view word);

}  // namespace mirvane
