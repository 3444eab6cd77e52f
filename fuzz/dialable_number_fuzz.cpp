// Any text in the number field: is_dialable_number against the plain rule, then the dial
// button with that text on a running line.

#include "commands/dialling.h"
#include "fuzz_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    using namespace mirvane::fuzzing;
    const std::u16string number = typed_text({data, size});
    const bool dialable = !number.empty() && number.find_first_not_of(u"0123456789*#") == std::u16string::npos;
    require(is_dialable_number(number) == dialable, "is_dialable_number disagrees with the plain rule");

    FuzzBench bench;
    bench.window.texts[Control::Text3] = number;
    Command3_Click(bench.program);
    std::u16string sent;
    for (const std::uint8_t code : bench.terminal.line) sent += code >> 4 == 0x9 ? u"D1234567890*#ABC"[code & 0xF] : u'?';
    require(sent == (dialable ? number : u""), "the line does not carry the number's dial codes");
    require(bench.state.dial_number == sent, "the record differs from what went out");
    require(bench.window.is_enabled(Control::Command3), "the dial button stayed disabled on a running line");
    require(bench.terminal.misuses == 0, "a closed port was touched");
    return 0;
}
