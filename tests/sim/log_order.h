#pragma once
// Reading a message-log pane back into entries, and judging whether a call's entries are
// all there, whole, and in an order that can happen: each line's entries in the order
// sent, and a command tapped before the handset's answer to it.

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace mirvane::sim::testing {

struct LogEntry {
    std::u16string code;     // the code column
    std::u16string meaning;  // the meaning column without its time stamp
    bool operator==(const LogEntry&) const = default;
};

// The pane shows the newest entry first, one "code : [hh:mm:ss] meaning" a line. Lines end
// in CR LF as the core writes them, or in LF alone as a text widget gives them back.
inline std::vector<LogEntry> entries_oldest_first(std::u16string_view pane) {
    std::vector<LogEntry> entries;
    while (!pane.empty()) {
        const std::size_t end = std::min(pane.find(u'\n'), pane.size());
        std::u16string_view line = pane.substr(0, end);
        pane.remove_prefix(std::min(end + 1, pane.size()));
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t split = std::min(line.find(u" : "), line.size());
        std::u16string_view meaning = line.substr(std::min(split + 3, line.size()));
        if (meaning.size() >= 11 && meaning[0] == u'[' && meaning[9] == u']' && meaning[10] == u' ') {
            meaning.remove_prefix(11);
        }
        entries.insert(entries.begin(), {std::u16string(line.substr(0, split)), std::u16string(meaning)});
    }
    return entries;
}

struct CallLog {
    std::vector<LogEntry> monitor;  // the commands, as tapped
    std::vector<LogEntry> status;   // the handset's answers
    // (monitor index, status index): that command's entry comes before that answer's.
    std::vector<std::pair<std::size_t, std::size_t>> tapped_before;
};

// Empty when the log holds exactly the call; otherwise what is wrong.
inline std::string judge(const std::vector<LogEntry>& entries, const CallLog& call) {
    CallLog got;
    std::vector<std::size_t> at[2];  // where each monitor entry and each status entry stands
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const bool tapped = entries[i].code.starts_with(u"__");  // a monitor entry
        (tapped ? got.monitor : got.status).push_back(entries[i]);
        at[tapped ? 0 : 1].push_back(i);
    }
    const auto codes = [](const std::vector<LogEntry>& list) {
        std::string out;  // the codes are ASCII
        for (const LogEntry& e : list) {
            for (const char16_t c : e.code + u"; ") out += static_cast<char>(c);
        }
        return out;
    };
    if (got.monitor != call.monitor || got.status != call.status) {
        return "entries differ: got " + codes(got.monitor) + "| " + codes(got.status) + "want " +
               codes(call.monitor) + "| " + codes(call.status);
    }
    for (const auto& [m, s] : call.tapped_before) {
        if (at[0][m] > at[1][s]) {
            return "the answer " + codes({call.status[s]}) + "came before the command " +
                   codes({call.monitor[m]}) + "was tapped";
        }
    }
    return {};
}

// Lift, dial 5 and 3, dial complete, put down: the command entries (with the caller
// number shown after lifting) and the handset's answers.
inline CallLog outgoing_call_53() {
    CallLog call;
    call.monitor = {
        {u"__ __ __ __ A7", u"受話器を上げる"}, {u"__ __ __ __ EB", u"発番号表示"},
        {u"__ __ __ __ 95", u"Dial [5]"},       {u"__ __ __ __ 93", u"Dial [3]"},
        {u"__ __ __ __ 86", u"ダイヤル完了"},   {u"__ __ __ __ A6", u"受話器をおく"},
    };
    call.status = {
        {u"A7 __ __ __ __", u"通話中表示ON"},  {u"21 __ __ __ __", u"トーン種別 [1:発信音]"},
        {u"95 __ __ __ __", u"ダイヤル [5]"},  {u"93 __ __ __ __", u"ダイヤル [3]"},
        {u"AA __ __ __ __", u"ダイヤル完了"},  {u"20 __ __ __ __", u"トーン種別 [0:トーンOFF]"},
        {u"A6 __ __ __ __", u"通話中表示OFF"}, {u"AF __ __ __ __", u"待受"},
    };
    call.tapped_before = {{0, 0}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
    return call;
}

}  // namespace mirvane::sim::testing
