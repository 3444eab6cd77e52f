// Any text in the hex code field: parse_hex_codes against the plain reading of the
// format, then the manual send button with that text on a running line.

#include "commands/manual_code.h"
#include "fuzz_harness.h"
#include "shell/communication.h"

namespace {

int digit_value(char16_t ch) {
    if (ch >= u'0' && ch <= u'9') return ch - u'0';
    if (ch >= u'A' && ch <= u'F') return ch - u'A' + 10;
    if (ch >= u'a' && ch <= u'f') return ch - u'a' + 10;
    return -1;
}

// The format read the plain way: the whole text as pairs of digits, or nothing at all.
std::vector<std::uint8_t> plain_reading(const std::u16string& text, bool& well_formed) {
    std::vector<std::uint8_t> bytes;
    well_formed = !text.empty() && text.size() % 2 == 0;
    for (std::size_t i = 0; well_formed && i < text.size(); i += 2) {
        const int high = digit_value(text[i]);
        const int low = digit_value(text[i + 1]);
        well_formed = high >= 0 && low >= 0;
        if (well_formed) bytes.push_back(static_cast<std::uint8_t>(16 * high + low));
    }
    if (!well_formed) bytes.clear();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    using namespace mirvane::fuzzing;
    const std::u16string text = typed_text({data, size});

    bool well_formed = false;
    const std::vector<std::uint8_t> expected = plain_reading(text, well_formed);
    const auto parsed = parse_hex_codes(text);
    require(parsed.has_value() == well_formed, "parse_hex_codes accepts what the format refuses, or the reverse");
    if (parsed) {
        require(*parsed == expected, "parse_hex_codes reads other bytes than the pairs say");
        for (std::size_t i = 0; i < parsed->size(); ++i) {
            std::u16string pair = text.substr(2 * i, 2);
            for (char16_t& ch : pair) {
                if (ch >= u'a' && ch <= u'f') ch = static_cast<char16_t>(ch - u'a' + u'A');
            }
            require(hex_text((*parsed)[i]) == pair, "a parsed byte does not print back as its pair");
        }
    }

    FuzzBench bench;
    Command1_Click(bench.program);
    require(bench.terminal.is_open(), "terminal communication did not start");
    bench.window.texts[Control::Text6] = text;
    Command8_Click(bench.program);
    require(bench.terminal.line == expected, "the line carries other bytes than the text stands for");
    require(bench.state.hex_code == (expected.empty() ? 0 : expected.back()), "hex_code is not the last byte sent");
    require(bench.terminal.misuses == 0, "a closed port was touched");
    return 0;
}
