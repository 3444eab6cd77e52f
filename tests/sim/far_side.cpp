// sim_far_side: a small program that plays Mirvane's part for the simulator's process
// tests. It opens the two lines named by MIRVANE_PORT1 and MIRVANE_PORT2, sends the
// command bytes given, and prints what came back on each line.
//
//   sim_far_side ANSWER_COUNT HEX...
//
// Exits 0 when ANSWER_COUNT bytes came on the terminal line and every command was tapped,
// 3 when something did not come, 2 on bad arguments or devices.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "far_end.h"

namespace {

void print(const char* line, const std::vector<std::uint8_t>& bytes) {
    std::printf("%s:", line);
    for (const std::uint8_t b : bytes) std::printf(" %02X", b);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    using mirvane::sim::testing::FarEnd;
    const char* terminal_path = std::getenv("MIRVANE_PORT1");
    const char* monitor_path = std::getenv("MIRVANE_PORT2");
    if (argc < 2 || terminal_path == nullptr || monitor_path == nullptr) {
        std::fprintf(stderr, "sim_far_side: needs ANSWER_COUNT, MIRVANE_PORT1 and MIRVANE_PORT2\n");
        return 2;
    }
    const std::size_t answers = std::strtoul(argv[1], nullptr, 10);
    std::vector<std::uint8_t> commands;
    for (int i = 2; i < argc; ++i) {
        commands.push_back(static_cast<std::uint8_t>(std::strtoul(argv[i], nullptr, 16)));
    }
    try {
        FarEnd terminal(terminal_path);
        FarEnd monitor(monitor_path);
        terminal.send(commands);
        const auto heard = terminal.receive(answers);
        const auto tapped = monitor.receive(commands.size());
        print("terminal", heard);
        print("monitor", tapped);
        return heard.size() == answers && tapped.size() == commands.size() ? 0 : 3;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "sim_far_side: %s\n", e.what());
        return 2;
    }
}
