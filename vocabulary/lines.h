#pragma once
// The two serial lines, and the words that name them where both programs read them: the
// capture the program writes and the simulator plays back.

#include <cstdint>
#include <optional>
#include <string_view>

namespace mirvane {

enum class Line : std::uint8_t { terminal, monitor };

constexpr std::string_view line_name(Line line) { return line == Line::terminal ? "terminal" : "monitor"; }

// The line a word names, or nothing for a word that names none.
constexpr std::optional<Line> line_named(std::string_view word) {
    for (const Line line : {Line::terminal, Line::monitor}) {
        if (word == line_name(line)) return line;
    }
    return std::nullopt;
}

}  // namespace mirvane
