// The simulator as tables and as a program. The tables: command lines, scripts and captures,
// each to what it comes to or to the one-line message that refuses it; the handset's answers
// in each call state; the scenarios that ship. The program: mirvane-sim run as a person runs
// it, what each run ends with and says, and what comes over its lines to the program's side.

#include <fnmatch.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "mirvane_version.h"
#include "sim/handset.h"
#include "sim/options.h"
#include "sim/script.h"
#include "vocabulary/status_catalogue.h"

namespace mirvane::sim {

using Bytes = std::vector<std::uint8_t>;

// A command line in one line: the settings that differ from a bare run, the command in
// brackets, "help", "version", or the message that refuses it.
std::string outcome(const std::vector<std::string>& args) {
    const auto result = parse_options(args);
    if (const auto* error = std::get_if<OptionError>(&result)) return error->message;
    if (result.index() != 0) return result.index() == 1 ? "help" : "version";
    const Options& o = std::get<Options>(result);
    std::string s =
        std::string(o.serve ? "serve " : "") + (o.answers ? "" : "no-answers ") + (o.levels_on() ? "" : "no-levels ") +
        (o.full_speed ? "full-speed " : "") + (o.trace ? "trace " : "") +
        (o.seed ? std::to_string(*o.seed) + " " : "") +
        (o.max_gap != std::chrono::hours(1) ? "max-gap=" + std::to_string(o.max_gap.count()) + " " : "") +
        (!o.played ? "" : (o.played->format == Format::Script ? "script=" : "replay=") + o.played->path + " ");
    for (const std::string& word : o.command) s += "[" + word + "]";
    return s;
}

TEST(Options, each_command_line_comes_to_its_settings_or_says_what_is_wrong) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"-h"}, "help"},
        {{"--version", "-x"}, "version"},
        {{"-v"}, "version"},
        {{"--trace", "--", "--odd"}, "trace [--odd]"},
        {{"--serve", "--full-speed", "--no-answers", "--seed", "42"}, "serve no-answers full-speed 42 "},
        // a script or a capture plays a session exactly: no level reports unless asked
        {{"--script", "a", "--seed=4294967295"}, "no-levels 4294967295 script=a "},
        {{"--replay=c"}, "no-levels replay=c "},
        {{"--script=a", "--no-levels", "--levels"}, "script=a "},
        {{"--seed"}, "--seed needs a number"},
        {{"--replay="}, "--replay needs a file name"},
        {{"--seed", "4294967296"}, "--seed needs a number from 0 to 4294967295, not '4294967296'"},
        {{"--replay", "c", "--script", "s"}, "--replay plays the capture alone, without --script or --levels"},
        // a pause as a person writes it, seconds without a unit, a day at most
        {{"--replay=c", "--max-gap", "10"}, "no-levels max-gap=10000 replay=c "},
        {{"--max-gap=250ms", "--replay=c"}, "no-levels max-gap=250 replay=c "},
        {{"--replay=c", "--max-gap=24h"}, "no-levels max-gap=86400000 replay=c "},
        {{"--replay=c", "--max-gap=1441m"},
         "--max-gap needs a duration up to a day (30s, 500ms, 10m, 2h), not '1441m'"},
        {{"--replay=c", "--max-gap=5d"}, "--max-gap needs a duration up to a day (30s, 500ms, 10m, 2h), not '5d'"},
        {{"--max-gap"}, "--max-gap needs a duration up to a day (30s, 500ms, 10m, 2h), not ''"},
        {{"--max-gap=2s"}, "--max-gap cuts the pauses of a --replay, but no capture was named"},
        {{"--serve", "mirvane"}, "--serve starts no program, but a command was given: 'mirvane'"},
    };
    for (const auto& [args, want] : cases) EXPECT_EQ(outcome(args), want) << testing::PrintToString(args);
}

// A parsed script in one line: "|MS [M] BYTES" for each step, or the error message. Read from a
// file, a piece at a time, the text must come to the same.
std::string parsed(Format format, std::string_view text) {
    const std::string file = ::testing::TempDir() + "mirvane-sim-script-" + std::to_string(::getpid());
    std::ofstream(file, std::ios::binary) << text;
    std::string said[2];
    for (int from_file = 0; from_file < 2; ++from_file) {
        const auto result = from_file ? load_script(file, format) : parse_script(text, "in", format);
        std::string& s = said[from_file];
        if (const auto* error = std::get_if<ScriptError>(&result)) {
            s = error->message;
            continue;
        }
        for (const std::string& warning : std::get<Script>(result).warnings) s += "|" + warning;
        for (const ScriptStep& step : std::get<Script>(result).steps) {
            s += "|" + std::to_string(step.at.count()) + (step.line == Line::monitor ? " M" : "");
            for (const std::uint8_t b : step.bytes) s += {' ', "0123456789ABCDEF"[b >> 4], "0123456789ABCDEF"[b & 15]};
        }
    }
    std::filesystem::remove(file);
    for (std::size_t at; (at = said[1].find(file)) != std::string::npos;) said[1].replace(at, file.size(), "in");
    EXPECT_EQ(said[1], said[0]);
    return said[0];
}

TEST(Scripts, a_script_or_capture_gives_its_steps_at_their_times_or_names_the_file_and_line_at_fault) {
    constexpr auto S = Format::Script, C = Format::Capture;
    const std::string kNotHex = " is not a hex byte (two hex digits, 00 to FF)", kAt = "2026-12-07 10:15:01";
    const std::tuple<Format, std::string, std::string> cases[] = {
        // delays add up from the step before; comments, blank lines, either case, tabs, CR
        {S, "+500 A5 22\n+0 AD 30\n# x\n\n+1500 a4\t# y\r\n+7", "|500 A5 22|500 AD 30|2000 A4|2007"},
        {S, "+3600000 AF", "|3600000 AF"},
        {S, "+5s", "in:1: '+5s' is not a delay in milliseconds"},
        {S, "+3600001", "in:1: '+3600001' is longer than the longest delay, +3600000 ms"},
        {S, "+0\n\nA5 22", "in:3: a step starts with +DELAY in milliseconds, not 'A5'"},
        // a word is quoted short and printable, whatever the file holds; a long line spans a file's reads
        {S, std::string("+0 A5 \0\x1b[2J\\\x7f\x80\n", 15), "in:1: '\\x00\\x1B[2J\\x5C\\x7F\\x80'" + kNotHex},
        {S, "+0 " + std::string(1'000'000, 'A') + "\n",
         "in:1: 'AAAAAAAAAAAAAAAAAAAAAAAA…' (1,000,000 characters)" + kNotHex},
        // each read after the one before; a clock put back is no pause, a long wait an hour
        {C,
         "# Mirvane capture\n2026-12-31 23:59:59.900 terminal AF c5\n\n2027-01-01 00:00:00.150 monitor A7 EB\n"
         "2027-01-01 00:00:00.100 terminal 00\n2027-01-01 05:00:00.000 terminal 21",
         "|0 AF C5|250 M A7 EB|250 00|3600250 21"},
        {C, kAt + ".250 modem AF\n",
         "in:1: 'modem' is neither a line (terminal or monitor) nor an action (start, stop, clear or sent)"},
        // a last line cut short (a full disk) is passed over, and every whole line before it played; a bad
        // line before the last is refused
        {C, kAt + ".250 terminal AF\n" + kAt + ".500 monitor A7\n2026-12-0",
         "|in:3: the last line is cut short ('2026-12-0' is not a date (yyyy-mm-dd)); passed over|0 AF|250 M A7"},
        {C, kAt + ".250 terminal AF\n" + kAt + ".500 monitor A",
         "|in:2: the last line is cut short ('A'" + kNotHex + "); passed over|0 AF"},
        {C, "2026-12-0\n" + kAt + ".250 terminal AF", "in:1: '2026-12-0' is not a date (yyyy-mm-dd)"},
        {C, kAt + ".250 terminal\n", "in:1: a read or a send needs one or more bytes in hex"},
        // a send is the program's, as an action: counted, never played
        {C, kAt + ".250 terminal AF\n" + kAt + ".300 sent A7\n" + kAt + ".500 terminal C5\n", "|0 AF|250 C5"},
        {C, kAt + ".300 sent\n", "in:1: a read or a send needs one or more bytes in hex"},
        {C, kAt + " terminal AF\n", "in:1: '10:15:01' is not a time of day (hh:mm:ss.mmm)"},
        {C, "2026-02-29 10:15:01.250 terminal AF\n", "in:1: '2026-02-29' is not a date (yyyy-mm-dd)"},
    };
    for (const auto& [format, text, want] : cases) EXPECT_EQ(parsed(format, text), want) << text.substr(0, 80);
    for (const std::string time : {"24:00:00.000", "10:1x:01.250", "10:60:01.250", "10:15:60.000"})
        EXPECT_EQ(parsed(C, "2026-12-07 " + time + " x\n"), "in:1: '" + time + "' is not a time of day (hh:mm:ss.mmm)");
}

TEST(Scripts, a_capture_appended_over_days_plays_each_pause_up_to_the_longest_gap) {
    const std::string capture =
        "2026-12-07 17:59:58.000 terminal A7\n2026-12-07 17:59:59.500 terminal 21\n"
        "2026-12-08 09:00:00.000 monitor EB\n2026-12-09 09:00:03.000 terminal AF\n";
    const std::pair<std::chrono::milliseconds, std::vector<long>> cases[] = {
        {std::chrono::seconds(2), {0, 1500, 3500, 5500}},
        {std::chrono::hours(1), {0, 1500, 3601500, 7201500}},
        {std::chrono::hours(1000), {0, 1500, 54002000, 140402000}},  // never more than a day
    };
    for (const auto& [gap, want] : cases) {
        const auto result = parse_script(capture, "in", Format::Capture, gap);
        ASSERT_TRUE(std::holds_alternative<Script>(result)) << std::get<ScriptError>(result).message;
        std::vector<long> at;
        for (const ScriptStep& step : std::get<Script>(result).steps) at.push_back(static_cast<long>(step.at.count()));
        EXPECT_EQ(at, want) << gap.count();
    }
}

TEST(Handset, follows_the_call_from_what_it_said_and_answers_each_command_in_that_state) {
    constexpr auto Idle = CallState::Idle, Ringing = CallState::Ringing, InCall = CallState::InCall;
    // what it said before; then its call state, whether between calls, a command and the answer
    const std::tuple<Bytes, CallState, bool, std::uint8_t, Bytes> cases[] = {
        {{}, Idle, true, 0xA7, {0xA7, 0x21}},
        {{0xA5, 0x22}, Ringing, false, 0xA7, {0xA4, 0x20, 0xA7}},
        {{0xA5, 0x22, 0xA4, 0x20}, Idle, true, 0xA7, {0xA7, 0x21}},
        {{0xA7}, InCall, false, 0x8F, {}},
        {{0x2F, 0xA7, 0xA5}, Ringing, false, 0xA7, {0xA4, 0x20, 0xA7}},
        {{0xA7}, InCall, false, 0x90, {0x90}},
        {{0xA7}, InCall, false, 0x9F, {0x9F}},
        {{0xA7}, InCall, false, 0xA0, {}},
        {{0xA7, 0xAF}, Idle, true, 0xEB, {}},
        {{0xA7, 0x91}, InCall, false, 0x86, {0xAA}},
        {{0xA7, 0x21, 0x20, 0xA6}, Idle, true, 0xA6, {0x20, 0xA6, 0xAF}},
        {{0xE7, 0x01}, Idle, false, 0xFF, {}},
        {{0xAD, 0xA5, 0xA7, 0x31, 0x32}, Idle, true, 0xEA, {}},
    };
    for (const auto& [said, state, between_calls, command, answer] : cases) {
        Handset handset;
        handset.say(said);
        EXPECT_EQ(handset.call_state(), state) << int(command);
        EXPECT_EQ(handset.between_calls(), between_calls) << int(command);
        EXPECT_EQ(handset.hear(command), answer) << int(command);
    }
}

// A level a step off the scale would be another status code; the walk reaches both ends.
TEST(Handset, drifts_its_reception_level_a_step_or_two_at_a_time_over_the_whole_scale) {
    Handset handset;
    std::mt19937 random(5);
    unsigned seen = 0;  // a bit per level reported
    for (int step = 0; step < 2000; ++step, seen |= 1u << handset.level()) {
        const int to = handset.drift_level(random) - status_code::kLevelBase, change = std::abs(to - handset.level());
        ASSERT_TRUE(to >= 0 && to <= 15) << "off the scale from " << int(handset.level()) << " to " << to;
        ASSERT_TRUE(change >= 1 && change <= 2) << int(handset.level()) << " to " << to;
        handset.say(std::uint8_t(status_code::kLevelBase + to));
    }
    EXPECT_EQ(seen, 0xFFFFu);
}

// Mirvane ignores a status byte without a catalogue row, so a typo in a scenario would pass
// unseen; and a message a script step cuts short could take a level report as its parameter.
TEST(Scripts, each_shipped_scenario_says_whole_messages_of_the_catalogue) {
    for (const std::filesystem::path& path : std::filesystem::directory_iterator(MIRVANE_SCENARIOS)) {
        const auto loaded = load_script(path, path.extension() == ".capture" ? Format::Capture : Format::Script);
        ASSERT_TRUE(std::holds_alternative<Script>(loaded)) << std::get<ScriptError>(loaded).message;
        int parameters = 0;  // still to come of the message before; a capture's read may hold part of one
        for (const ScriptStep& step : std::get<Script>(loaded).steps)
            for (const std::uint8_t b : step.line == Line::terminal ? step.bytes : Bytes{}) {
                const StatusRow* row = parameters > 0 ? nullptr : find_status_row(b);
                EXPECT_TRUE(parameters > 0 || row) << path << ":" << step.file_line << ": " << int(b);
                parameters = row ? row->parameters : std::max(0, parameters - 1);
            }
        EXPECT_EQ(parameters, 0) << path << " ends in the middle of a message";
    }
}

// What a run says, "*" standing for any text. The program's side of the two lines, $t and $m, is a
// shell: up sets a line to 600 baud, as a serial port does when it opens; see prints in hex and a bar
// what comes on a line within the seconds given, up to the bytes given; paced says so when the time
// since start is that many milliseconds.
TEST(Program, each_run_ends_with_its_exit_status_having_said_and_sent_what_it_should) {
    const std::string dir = ::testing::TempDir() + "mirvane-sim-test-" + std::to_string(::getpid());
    const std::string sim = MIRVANE_SIM_PROGRAM, copy = dir + "/bin/mirvane-sim";
    const std::string far =
        " sh -c 't=$MIRVANE_PORT1 m=$MIRVANE_PORT2; up() { stty -F $1 600 raw -echo; }; start() { s=$(date +%s%3N); }; "
        "see() { printf \"%s|\" \"$(timeout $2 dd bs=1 count=${3:-99} status=none <$1 | od -An -tx1)\"; }; "
        "paced() { [ $(($(date +%s%3N) - s)) -ge $1 ] && echo paced; }; ";
    // A copy of the simulator as installed, its scenarios beside its folder, without mirvane.
    for (const char* sub : {"/bin", "/share/mirvane/scenarios"}) std::filesystem::create_directories(dir + sub);
    std::filesystem::copy_file(sim, copy);
    std::ofstream(dir + "/share/mirvane/scenarios/mine.txt") << "+0 A5\n+5 \x1b\n";
    // A call's capture, with a pause of 650 ms and one of a minute. Each read waits for the one before to
    // be read, the first for the terminal line; the handset neither answers nor taps meanwhile.
    const std::string replay = far +
                               "up $m; see $m 0.2; start; up $t; see $t 0.2; see $m 5 1; "
                               "printf \"\\247\\206\" >$t; see $t 1 5; see $m 2 1; see $t 1 1; see $m 0.3; ";
    std::ofstream(dir + "/call") << "2026-12-07 10:15:01.250 monitor A7\n2026-12-07 10:15:01.260 terminal A5 22\n"
                                    "2026-12-07 10:15:01.200 terminal A4 20 A7\n2026-12-07 10:15:01.900 monitor A6\n"
                                    "2026-12-07 10:15:59.000 terminal AF\n";
    std::ofstream(dir + "/acted") << "2026-12-07 10:15:01.000 start\n2026-12-07 10:15:01.010 sent A7\n"
                                  << std::ifstream(dir + "/call").rdbuf() << "2026-12-07 10:16:00.000 clear\n";
    const std::tuple<std::string, int, std::string> runs[] = {
        {sim + " --help", 0, "*\n  " MIRVANE_SCENARIOS "\n\nExit status*"},  // the source's scenarios, last
        {sim + " --version", 0, "mirvane-sim " MIRVANE_VERSION "\n"},
        {sim + " --bogus /bin/true", 2, "mirvane-sim: unknown option '--bogus'\nTry 'mirvane-sim --help' for more.\n"},
        // were the program started, its own status would come back
        {copy + " --script mine /bin/true", 2, "*scenarios/mine.txt:2: '\\x1B' is not a hex byte*"},
        {sim + " --script /no/a /bin/true", 2, "mirvane-sim: /no/a: cannot read the script: No such file*\n"},
        {copy, 1, "*cannot start " + dir + "/bin/mirvane: No such file or directory\nmirvane-sim: build Mirvane*"},
        // found on PATH and given the two lines, which the trace sees come up; ended by a signal; serving
        {sim + " --trace" + far + "up $t; sleep 0.3; test -c $m && exit 7'", 7, "*line up\n*sh ended with status 7\n"},
        {sim + " /bin/sh -c 'kill -TERM $$'", 143, "mirvane-sim: /bin/sh ended with status 143\n"},
        {"timeout -k 2 --preserve-status -s INT 1 " + sim + " --serve", 0, "MIRVANE_PORT1=/*\nMIRVANE_PORT2=/*"},
        // stopped, it waits for the program to end and hears what the program says on its way out
        {sim + " --no-levels --trace" + far +
             "up $t; bye() { sleep 0.5; printf \"\\246\" >$t; exit; }; trap bye TERM; "
             "kill -INT $PPID; while :; do sleep 0.1; done'",
         0, "*host -> handset   A6\n*heard 1,*"},
        // a shipped scenario by bare name plays at its times; level reports come a second after the line comes
        // up, a step from the last (9) but never the same
        {sim + " --script demo" + far + "up $t; see $t 3 2'", 0, " c4 c6|"},
        {sim + " --seed 2" + far + "up $t; see $t 0.5; see $t 3 1'", 0, "| c8|"},
        // a command is tapped and answered at 600 baud: one byte in and three out take four byte times; the trace
        // shows the tap and, on an interrupt, the tally (what the shell saw is printed after the trace's lines)
        {sim + " --no-levels --trace" + far +
             "up $t; up $m; start; printf \"\\246\" >$t; r=$(see $t 1 3; paced 72; "
             "see $t 0.2; see $m 0.2); echo \"$r\"; kill -INT $PPID; exec sleep 1'",
         0,
         "*tap -> monitor    A6\n*\n 20 a6 af|paced\n| a6|\n*heard 1, tapped 1, spoke 3, replayed 0, lost 0 bytes\n"},
        // a replay keeps the captured pauses, or drops them at full speed
        {sim + " --replay " + dir + "/call" + replay + "paced 650'", 0, "|| a7| a5 22 a4 20 a7| a6|||paced\n"},
        {sim + " --full-speed --replay " + dir + "/call" + replay + "'", 0, "|| a7| a5 22 a4 20 a7|*a6|*af||*"},
        // what it cannot repeat is said at start; a monitor line the program never opens has its reads skipped
        // with one note, and the end is said
        {sim + " --full-speed --replay " + dir + "/acted" + far + "up $t; see $t 3 6'", 0,
         "mirvane-sim: the capture records actions and sends a far side cannot repeat (1 start, 1 clear, 1 sent)*"
         "the program has not opened the monitor line: its reads are skipped\n*"
         "the capture has been played (6 bytes written, 2 reads skipped)\n*"},
    };
    for (const auto& [command, status, says] : runs) {
        FILE* out = ::popen(("timeout -k 1 20 " + command + " 2>&1").c_str(), "r");  // a hang fails, and soon
        std::string said(1 << 16, '\0');
        said.resize(std::fread(said.data(), 1, said.size(), out));
        EXPECT_EQ(WEXITSTATUS(::pclose(out)), status) << command;
        EXPECT_EQ(::fnmatch(says.c_str(), said.c_str(), FNM_NOESCAPE), 0) << command << "\n" << said;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace mirvane::sim
