#include "sim/script.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sstream>

#include "logs/hex_text.h"

namespace mirvane::sim {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Splits a line (comment already cut off) into words separated by blanks.
std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && is_blank(line[i])) ++i;
        const std::size_t start = i;
        while (i < line.size() && !is_blank(line[i])) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::string located(std::string_view name, int line, const std::string& what) {
    std::ostringstream out;
    out << name << ':' << line << ": " << what;
    return out.str();
}

std::string quoted(std::string_view word) { return "'" + std::string(word) + "'"; }

}  // namespace

std::variant<Script, ScriptError> parse_script(std::string_view text, std::string_view name) {
    Script script;
    script.name = std::string(name);
    std::chrono::milliseconds clock{0};
    int line_number = 0;

    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++line_number;

        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) {
            line = line.substr(0, hash);
        }
        const std::vector<std::string_view> words = words_of(line);
        if (words.empty()) continue;

        const std::string_view delay = words.front();
        if (delay.front() != '+') {
            return ScriptError{located(name, line_number,
                                       "a step starts with +DELAY in milliseconds, not " +
                                           quoted(delay))};
        }
        if (delay.size() == 1 || delay.size() > 8) {
            return ScriptError{located(name, line_number,
                                       quoted(delay) + " is not a delay (+0 to +" +
                                           std::to_string(kLongestDelay.count()) + " ms)")};
        }
        long long ms = 0;
        for (char c : delay.substr(1)) {
            if (c < '0' || c > '9') {
                return ScriptError{located(name, line_number,
                                           quoted(delay) + " is not a delay in milliseconds")};
            }
            ms = ms * 10 + (c - '0');
        }
        if (ms > kLongestDelay.count()) {
            return ScriptError{located(name, line_number,
                                       quoted(delay) + " is longer than the longest delay, +" +
                                           std::to_string(kLongestDelay.count()) + " ms")};
        }
        clock += std::chrono::milliseconds(ms);

        ScriptStep step{clock, {}, line_number};
        for (std::size_t i = 1; i < words.size(); ++i) {
            const std::string_view word = words[i];
            const int high = word.size() == 2 ? hex_value(word[0]) : -1;
            const int low = word.size() == 2 ? hex_value(word[1]) : -1;
            if (high < 0 || low < 0) {
                return ScriptError{located(name, line_number,
                                           quoted(word) +
                                               " is not a hex byte (two hex digits, 00 to FF)")};
            }
            step.bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        }
        script.steps.push_back(std::move(step));
    }
    return script;
}

std::variant<Script, ScriptError> load_script(const std::string& path) {
    const auto failure = [&path](int error) {
        return ScriptError{path + ": cannot read the script: " + std::strerror(error)};
    };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return failure(errno);
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int error = errno;  // a directory fails here, with EISDIR
            ::close(fd);
            return failure(error);
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return parse_script(text, path);
}

}  // namespace mirvane::sim
