#pragma once
// A session file that keeps its lines, and fails every write once `fails` is set.

#include <optional>
#include <string>
#include <vector>

#include "program/record_file.h"

namespace mirvane::testing {

struct KeptFile final : RecordFile {
    std::u16string name() const override { return u"/tmp/capture"; }
    std::optional<std::u16string> append(std::u16string_view line) override {
        if (fails) return u"No space left on device";
        return lines.emplace_back(line), std::nullopt;
    }
    std::vector<std::u16string> lines;
    bool fails = false;
};

}  // namespace mirvane::testing
