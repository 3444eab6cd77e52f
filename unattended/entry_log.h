#pragma once
// The runner's session log: every committed entry reaches Program::log, so keeping them
// here observes the core without changing it. The lines go on to the user's --log file
// when one was given.

#include <optional>
#include <string>
#include <vector>

#include "program/record_file.h"
#include "unattended/expectation.h"

namespace mirvane::unattended {

class EntryLog final : public RecordFile {
public:
    explicit EntryLog(RecordFile* forward) : forward_(forward) {}

    std::u16string name() const override;
    // Never fails: the core would stop telling the runner anything. A failing --log file is
    // given up and its reason kept for the report.
    std::optional<std::u16string> append(std::u16string_view line) override;

    const std::vector<Entry>& entries() const { return entries_; }
    // The --log file failed, now or after an append had returned: it is written no more.
    void give_up_forward(std::u16string_view reason);
    // The reason the --log file was given up, once it has been.
    const std::optional<std::u16string>& forward_failure() const { return forward_failure_; }

private:
    RecordFile* forward_;
    std::vector<Entry> entries_;
    std::optional<std::u16string> forward_failure_;
};

}  // namespace mirvane::unattended
