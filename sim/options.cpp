#include "sim/options.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "vocabulary/words.h"

namespace mirvane::sim {

namespace {

// A duration as a person writes it: digits and a unit (ms, s, m or h; seconds without one).
std::optional<std::chrono::milliseconds> duration_value(const std::string& text) {
    constexpr std::pair<std::string_view, std::int64_t> kUnits[] = {
        {"ms", 1}, {"s", 1'000}, {"m", 60'000}, {"h", 3'600'000}, {"", 1'000}};
    const std::size_t digits = text.find_first_not_of("0123456789");
    const std::string_view unit = digits == std::string::npos ? "" : std::string_view(text).substr(digits);
    std::int64_t count = 0;
    const char* first = text.data();
    const char* last = first + (digits == std::string::npos ? text.size() : digits);
    const auto [end, error] = std::from_chars(first, last, count);
    if (first == last || error != std::errc() || end != last) return std::nullopt;
    for (const auto& [name, scale] : kUnits) {
        if (unit == name && count <= kLongestGap.count() / scale) return std::chrono::milliseconds(count * scale);
    }
    return std::nullopt;
}

}  // namespace

std::variant<Options, ShowHelp, ShowVersion, OptionError> parse_options(const std::vector<std::string>& args) {
    Options options;
    bool script_and_replay = false;  // both named: refused below, with the other clashes
    bool max_gap = false;
    std::size_t i = 0;
    // Splits "--name=value" so both spellings of an option with a value work.
    const auto value_of = [&](const std::string& name, const std::string& arg) -> std::optional<std::string> {
        if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=') {
            return arg.substr(name.size() + 1);
        }
        if (arg == name && i + 1 < args.size()) return args[++i];
        return std::nullopt;
    };
    const auto is_option = [](const std::string& arg, const std::string& name) {
        return arg == name || arg.rfind(name + "=", 0) == 0;
    };

    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg.empty() || arg[0] != '-') break;  // the command begins

        if (arg == "--help" || arg == "-h") return ShowHelp{};
        if (arg == "--version" || arg == "-v") return ShowVersion{};
        if (arg == "--serve") {
            options.serve = true;
        } else if (arg == "--full-speed") {
            options.full_speed = true;
        } else if (arg == "--no-answers") {
            options.answers = false;
        } else if (arg == "--levels") {
            options.levels = true;
        } else if (arg == "--no-levels") {
            options.levels = false;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (is_option(arg, "--script") || is_option(arg, "--replay")) {
            const Format format = is_option(arg, "--script") ? Format::Script : Format::Capture;
            const std::string name = format == Format::Script ? "--script" : "--replay";
            const auto value = value_of(name, arg);
            if (!value || value->empty()) return OptionError{name + " needs a file name"};
            script_and_replay = script_and_replay || (options.played && options.played->format != format);
            options.played = Playback{format, *value};
        } else if (is_option(arg, "--max-gap")) {
            const auto value = value_of("--max-gap", arg);
            const auto gap = value ? duration_value(*value) : std::nullopt;
            if (!gap) {
                return OptionError{"--max-gap needs a duration up to a day (30s, 500ms, 10m, 2h), not " +
                                   quoted(value.value_or(""))};
            }
            options.max_gap = *gap;
            max_gap = true;
        } else if (is_option(arg, "--seed")) {
            const auto value = value_of("--seed", arg);
            if (!value) return OptionError{"--seed needs a number"};
            std::uint32_t seed = 0;
            const char* first = value->data();
            const char* last = first + value->size();
            const auto [end, error] = std::from_chars(first, last, seed);
            if (value->empty() || error != std::errc() || end != last) {
                return OptionError{"--seed needs a number from 0 to 4294967295, not " + quoted(*value)};
            }
            options.seed = seed;
        } else {
            return OptionError{"unknown option " + quoted(arg)};
        }
    }
    options.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());

    if (options.serve && !options.command.empty()) {
        return OptionError{"--serve starts no program, but a command was given: " + quoted(options.command.front())};
    }
    const bool replay = options.played && options.played->format == Format::Capture;
    if (script_and_replay || (replay && options.levels.value_or(false))) {
        return OptionError{"--replay plays the capture alone, without --script or --levels"};
    }
    if (max_gap && !replay) return OptionError{"--max-gap cuts the pauses of a --replay, but no capture was named"};
    return options;
}

std::string usage_text(const std::vector<std::string>& scenario_folders) {
    std::string text = R"(Usage: mirvane-sim [OPTION]... [--] [COMMAND [ARG]...]
A simulated handset at the far end of Mirvane's two serial lines.

Creates two pseudo-terminals, the terminal line and the monitor line, and
starts COMMAND (by default the mirvane program beside mirvane-sim) with
MIRVANE_PORT1 and MIRVANE_PORT2 set to their device paths. Every byte the
program sends on the terminal line is copied to the monitor line, as a line tap
does, and the handset answers in status codes. Ends when the program ends, with
its exit status.

The handset speaks once the program has set the terminal line to 600 baud.

Options:
  --serve          start no program: print the two device paths as
                   MIRVANE_PORT1=... and MIRVANE_PORT2=... lines and serve
                   until interrupted (SIGINT or SIGTERM)
  --script FILE    play FILE's timed hex bytes on the terminal line, starting
                   when the line comes up; lines look like
                   "+500 A5 22  # comment", the delay in milliseconds after the
                   step before
  --replay FILE    play a capture of Mirvane's reads (mirvane --capture) back
                   on both lines, starting when the terminal line comes up,
                   each read as one write at the captured pace (pauses of over
                   an hour are cut to an hour, or as --max-gap says); the
                   handset says nothing of its own: no answers, no levels, no
                   tap. The operator's start, stop and clear in the capture
                   cannot be repeated from here (it says so at start;
                   mirvane --replay FILE repeats them);
                   reads for a monitor line the program did not open are
                   skipped, with one note; a last line cut short is passed over
                   with a warning; the end of the capture is announced on
                   standard error
  --max-gap DURATION
                   with --replay, play each pause longer than DURATION as
                   DURATION, as for a capture appended to over days: digits
                   and ms, s, m or h (30s, 500ms, 10m; seconds without a
                   unit), up to 24h; the default is 1h
  --no-answers     the handset answers no command
  --levels         report changing reception levels between calls (the default
                   without --script and --replay)
  --no-levels      no reception-level reports (the default with --script)
  --seed N         seed of the level changes, for a repeatable session
  --full-speed     send bytes as fast as the lines take them, not at 600 baud
                   (11 bits a byte, about 18.3 ms); with --replay, each read as
                   soon as the program has taken in the one before
  --trace          report every byte on standard error
  -h, --help       show this text
  -v, --version    show the version

FILE is a path, or the bare name of a shipped scenario (demo or demo.txt for a
script, demo-call or demo-call.capture for a capture), looked for in:
)";
    for (const std::string& folder : scenario_folders) text += "  " + folder + "\n";
    text += R"(
Exit status: the program's; 0 after --serve is interrupted; 1 when the lines or
the program cannot be started; 2 for a bad command line, script or capture.
)";
    return text;
}

}  // namespace mirvane::sim
