#pragma once
// One simulated serial line: a pseudo-terminal pair. The program under test opens the
// slave by its path; the simulator talks through the master.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <variant>

namespace mirvane::sim {

// Owns one file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset();

private:
    int fd_ = -1;
};

struct PtyLine {
    UniqueFd master;  // non-blocking; the simulator's end
    // Held open for the whole run, so that the line stays when the program closes and
    // opens its port again (a pty whose slave nobody holds hangs up).
    UniqueFd slave;
    std::string path;  // of the slave, for MIRVANE_PORT1/MIRVANE_PORT2
};

// Opens a pair, raw, at a speed other than the line's: the far side shows that it listens
// by setting 600 baud, as the program does when it opens its port.
std::variant<PtyLine, std::string> open_pty_line();

// Whether the far side has the line set to the handset's speed, 600 baud.
bool far_side_listening(const PtyLine& line);

// Writes as much of bytes as the far side's input has room for; returns how much that was,
// or why the line failed.
std::variant<std::size_t, std::string> write_line(const PtyLine& line, std::span<const std::uint8_t> bytes);

// Whether bytes written to the line wait for the far side to read them.
bool far_side_has_unread(const PtyLine& line);

// Drops what the far side has not read: bytes sent while nobody listens are lost, as on
// a real line.
void discard_unread(const PtyLine& line);

}  // namespace mirvane::sim
