#include "unattended/entry_log.h"

namespace mirvane::unattended {

std::u16string EntryLog::name() const { return forward_ != nullptr ? forward_->name() : u"mirvane-test"; }

std::optional<std::u16string> EntryLog::append(std::u16string_view line) {
    if (Entry entry; parse_entry(line, entry)) entries_.push_back(std::move(entry));
    if (forward_ == nullptr) return std::nullopt;
    if (auto failure = forward_->append(line)) give_up_forward(*failure);
    return std::nullopt;
}

void EntryLog::give_up_forward(std::u16string_view reason) {
    if (forward_ == nullptr) return;
    forward_failure_ = forward_->name() + u": " + std::u16string(reason);
    forward_ = nullptr;
}

}  // namespace mirvane::unattended
