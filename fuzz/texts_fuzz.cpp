// Any text typed into both entry fields, each byte a character: the hex codes and the
// number against the plain reading of their formats, then both buttons on a running line.

#include "commands/dialling.h"
#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    using namespace mirvane::fuzzing;
    const std::u16string text(data, data + size);

    // The plain reading of the hex codes: the whole text as pairs of digits, or nothing.
    std::vector<std::uint8_t> expected;
    bool well_formed = size > 0 && size % 2 == 0;
    for (std::size_t i = 0; well_formed && i < size; ++i) {
        const std::size_t at = std::u16string_view(u"0123456789ABCDEFabcdef").find(text[i]);
        const auto digit = static_cast<std::uint8_t>(at < 16 ? at : at - 6);
        well_formed = at != std::u16string_view::npos;
        if (i % 2 == 0) expected.push_back(static_cast<std::uint8_t>(16 * digit));
        else expected.back() = static_cast<std::uint8_t>(expected.back() + digit);
    }
    if (!well_formed) expected.clear();
    // Read from a view into a longer text: a read past the view's end would find a digit.
    const auto parsed = parse_hex_codes(std::u16string_view(text + u"0").substr(0, size));
    require(parsed.has_value() == well_formed && (!parsed || *parsed == expected),
            "parse_hex_codes reads other bytes than the pairs say");
    const bool dialable = size > 0 && text.find_first_not_of(u"0123456789*#") == std::u16string::npos;
    require(is_dialable_number(text) == dialable, "is_dialable_number disagrees with the plain rule");

    FuzzRig rig;
    rig.window.texts[Control::Text6] = rig.window.texts[Control::Text3] = text;
    Command8_Click(rig.program);
    Command3_Click(rig.program);
    std::vector<std::uint8_t> line = expected;
    for (const char16_t ch : dialable ? text : u"")
        line.push_back(static_cast<std::uint8_t>(0x90 + std::u16string_view(u"D1234567890*#").find(ch)));
    require(rig.terminal.line == line && rig.state.dial_number == (dialable ? text : u""),
            "the buttons sent other codes than the texts stand for, or recorded others");
    require(rig.terminal.misuses == 0, "a closed port was touched");
    return 0;
}
