// mirvane-codes: prints docs/codes.md, every status code and command code with its
// Japanese text and English gloss, from the vocabulary tables themselves, so that the
// document a reader without Japanese relies on cannot fall behind the catalogue.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vocabulary/command_codes.h"
#include "vocabulary/names.h"
#include "vocabulary/status_catalogue.h"
#include "vocabulary/utf8.h"

namespace {

using namespace mirvane;

std::string hex(unsigned value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string codes(std::uint8_t first, std::uint8_t last) {
    return first == last ? hex(first) : hex(first) + "–" + hex(last);
}

void row(const std::string& code, const std::string& parameters, const std::string& japanese,
         std::string_view english) {
    std::printf("| %s | %s | %s | %.*s |\n", code.c_str(), parameters.c_str(), japanese.c_str(),
                static_cast<int>(english.size()), english.data());
}

std::string parameters_of(const StatusRow& status) {
    if (status.parameters == 0) return "–";
    std::string text = std::to_string(status.parameters);
    if (status.rule == ParameterRule::Digits) text += " (the low hex digit of each is appended)";
    if (status.rule == ParameterRule::OnOff) {
        text +=
            " (00: " + to_utf8(status_text::kHandsFreeOff) + ", others: " + to_utf8(status_text::kHandsFreeOn) + ")";
    }
    return text;
}

std::string bracketed(std::u16string_view prefix, const std::string& inside) {
    return to_utf8(prefix) + inside + to_utf8(status_text::kClose);
}

// One row a code for the families whose text names the code itself (tones, dial digits);
// one row for the reception levels, whose text is just the number.
void status_rows(const StatusRun& run) {
    const StatusRow& status = *run.row;
    switch (status.kind) {
        case StatusKind::Tone:
            for (unsigned code = run.first; code <= run.last; ++code) {
                const auto kind = static_cast<std::uint8_t>(code - 0x20);
                std::u16string name;
                tone_ana(name, kind);
                const std::string digit = hex(kind).substr(1);
                const std::string japanese =
                    code == status_code::kToneOff ? to_utf8(status_text::kToneOff) : digit + ":" + to_utf8(name);
                row(hex(code), "–", bracketed(status_text::kToneKindPrefix, japanese),
                    std::string(status.gloss) + " [" + digit + ": " + std::string(tone_gloss(kind)) + "]");
            }
            return;
        case StatusKind::Digit:
            for (unsigned code = run.first; code <= run.last; ++code) {
                std::u16string character;
                dial_conv1(character, static_cast<std::uint8_t>(code));
                row(hex(code), "–", bracketed(status_text::kDialPrefix, to_utf8(character)),
                    std::string(status.gloss) + " [" + to_utf8(character) + "]");
            }
            return;
        case StatusKind::Level:
            row(codes(run.first, run.last), "–",
                bracketed(status_text::kLevelPrefix, "0") + " … " + bracketed(status_text::kLevelPrefix, "15"),
                std::string(status.gloss) + " [0] to [15], the code less " + hex(run.first));
            return;
        default: row(codes(run.first, run.last), parameters_of(status), to_utf8(status.meaning), status.gloss);
    }
}

constexpr const char* kHeading = R"(# Status and command codes

Every byte the handset and Mirvane exchange, with the Japanese text the log pane and
the monitor pane show and its meaning in English. Codes are hexadecimal.

This file is printed by `mirvane-codes` from the vocabulary tables
(`vocabulary/status_catalogue.cpp`, `vocabulary/command_codes.h`, `vocabulary/names.cpp`),
where each code's English gloss sits in its row. Do not edit it by hand: after changing a
table, regenerate it with

    cmake --build --preset default --target codes_doc

The test `docs.codes_match_the_tables` fails while this file and the tables differ.
)";

constexpr const char* kTableHead = R"(| Code | Parameters | Japanese | English |
|------|------------|----------|---------|
)";

}  // namespace

int main() {
    std::fputs(kHeading, stdout);
    std::printf(R"(
## Status codes (handset to Mirvane)

A code opens a message when it takes parameters: the further bytes are collected and
shown after the text. A code without a row here is ignored.

%s)",
                kTableHead);
    for (const StatusRun& run : status_runs()) status_rows(run);

    std::printf(R"(
## Command codes (Mirvane to handset)

The monitor pane names the same codes when it sees them on the monitoring line.

%s)",
                kTableHead);
    // The dial codes fall between the others: all in code order.
    std::vector<std::pair<unsigned, std::function<void()>>> commands;
    for (const CommandRow& command : kCommandRows) {
        commands.emplace_back(command.code,
                              [&command] { row(hex(command.code), "–", to_utf8(command.name), command.gloss); });
    }
    for (unsigned code = command_code::kDialBase; code <= command_code::kDialLast; ++code) {
        commands.emplace_back(code, [code] {
            std::u16string character;
            dial_conv1(character, static_cast<std::uint8_t>(code));
            row(hex(code), "–", to_utf8(dial_label(character)), std::string(kDialGloss) + " " + to_utf8(character));
        });
    }
    std::stable_sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [code, print] : commands) print();
    return 0;
}
