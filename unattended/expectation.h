#pragma once
// What the runner observes, and whether an expectation holds over it: the committed entries
// in order, and the labels and Dial データ as they read now.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "unattended/test_file.h"

namespace mirvane::unattended {

// A committed entry as the log pane shows it: "AD 30 33 31 32" and "[14:02:07] 網情報 0312".
struct Entry {
    std::u16string code;
    std::u16string meaning;
    std::u16string line() const;
};

// The entry of a line the session log receives ("CODE : meaning"); a line without the
// separator (the clear's mark) is no entry.
bool parse_entry(std::u16string_view line, Entry& entry);

struct Labels {
    std::u16string level;      // Label1's caption, "受信レベル：5"
    std::u16string tone;       // Label2's caption, "Tone　：　1"
    std::u16string dial_data;  // Text4's text
};

// Whether `entry` is what the step waits for (Expect, ExpectMonitor, ExpectText), or what
// it forbids (ExpectNo; ExpectNothing forbids every entry).
bool entry_matches(const Step& step, const Entry& entry);

// Whether the labels read as the step expects (ExpectLevel, ExpectTone, ExpectDialData).
bool labels_match(const Step& step, const Labels& labels);

// Whether the step is answered by an entry (else by the labels).
bool waits_for_entry(Word word);

// The first entry at or after `from` that the step matches, or entries.size().
std::size_t find_entry(const Step& step, const std::vector<Entry>& entries, std::size_t from);

}  // namespace mirvane::unattended
