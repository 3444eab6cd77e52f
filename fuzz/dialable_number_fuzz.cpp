// Any text in the number field: is_dialable_number against the plain rule, then the
// dial button with that text on a running line.

#include "commands/dialling.h"
#include "decode/names.h"
#include "fuzz_harness.h"
#include "shell/communication.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mirvane;
    using namespace mirvane::fuzzing;
    const std::u16string number = typed_text({data, size});

    bool dialable = !number.empty();
    for (const char16_t ch : number) {
        dialable = dialable && std::u16string_view(u"0123456789*#").find(ch) != std::u16string_view::npos;
    }
    require(is_dialable_number(number) == dialable, "is_dialable_number disagrees with the plain rule");

    FuzzBench bench;
    Command1_Click(bench.program);
    bench.window.texts[Control::Text3] = number;
    Command3_Click(bench.program);
    const std::vector<std::uint8_t>& line = bench.terminal.line;
    if (!dialable) {
        require(line.empty(), "an undialable number put bytes on the line");
        require(bench.state.dial_number.empty(), "an undialable number was recorded");
    } else {
        require(line.size() == number.size(), "not one dial code per character");
        for (std::size_t i = 0; i < line.size(); ++i) {
            std::u16string character;
            dial_conv1(character, line[i]);
            require(character.size() == 1 && character[0] == number[i], "a character went out as another code");
        }
        require(bench.state.dial_number == number, "the dialled number was not recorded as dialled");
    }
    require(bench.window.is_enabled(Control::Command3), "the dial button stayed disabled on a running line");
    require(bench.terminal.misuses == 0, "a closed port was touched");
    return 0;
}
