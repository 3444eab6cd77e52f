// Any text in the hex code field: parse_hex_codes against the plain reading of the format,
// then the manual send button with that text on a running line.

#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    using namespace mirvane::fuzzing;
    const std::u16string text = typed_text({data, size});

    // The plain reading: the whole text as pairs of digits, or nothing at all.
    std::vector<std::uint8_t> expected;
    bool well_formed = !text.empty() && text.size() % 2 == 0;
    for (std::size_t i = 0; well_formed && i < text.size(); i += 2) {
        unsigned value = 0;
        for (const char16_t ch : text.substr(i, 2)) {
            const char16_t upper = ch >= u'a' && ch <= u'f' ? static_cast<char16_t>(ch - 0x20) : ch;
            const std::size_t digit = std::u16string_view(u"0123456789ABCDEF").find(upper);
            well_formed = well_formed && digit != std::u16string_view::npos;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        expected.push_back(static_cast<std::uint8_t>(value));
    }
    if (!well_formed) expected.clear();
    const auto parsed = parse_hex_codes(text);
    require(parsed.has_value() == well_formed, "parse_hex_codes accepts what the format refuses, or the reverse");
    require(!parsed || *parsed == expected, "parse_hex_codes reads other bytes than the pairs say");

    FuzzBench bench;
    bench.window.texts[Control::Text6] = text;
    Command8_Click(bench.program);
    require(bench.terminal.line == expected, "the line carries other bytes than the text stands for");
    require(bench.terminal.misuses == 0, "a closed port was touched");
    return 0;
}
