#pragma once
// Reading a message-log pane back into entries, and judging whether a call's entries are
// all there, whole, and in an order that can happen: each line's entries in the order
// sent, and a command tapped before the handset's answer to it.

#include <cstddef>
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

// The pane shows the newest entry first, one "code : meaning" a line. Lines end in CR LF
// as the core writes them, or in LF alone as a text widget gives them back.
inline std::vector<LogEntry> entries_oldest_first(std::u16string_view pane) {
    std::vector<LogEntry> entries;
    std::size_t pos = 0;
    while (pos < pane.size()) {
        std::size_t end = pane.find(u'\n', pos);
        if (end == std::u16string_view::npos) end = pane.size();
        std::u16string_view line = pane.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const std::size_t split = line.find(u" : ");
        LogEntry entry;
        entry.code = std::u16string(line.substr(0, split));
        std::u16string_view meaning =
            split == std::u16string_view::npos ? std::u16string_view() : line.substr(split + 3);
        // "[hh:mm:ss] " in front, where the entry has one
        if (meaning.size() >= 11 && meaning[0] == u'[' && meaning[9] == u']' && meaning[10] == u' ') {
            meaning.remove_prefix(11);
        }
        entry.meaning = std::u16string(meaning);
        entries.insert(entries.begin(), std::move(entry));
    }
    return entries;
}

inline bool is_monitor_entry(const LogEntry& entry) { return entry.code.rfind(u"__", 0) == 0; }

struct CallLog {
    std::vector<LogEntry> monitor;  // the commands, as tapped
    std::vector<LogEntry> status;   // the handset's answers
    // (monitor index, status index): that command's entry comes before that answer's.
    std::vector<std::pair<std::size_t, std::size_t>> tapped_before;
};

inline std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Empty when the log holds exactly the call; otherwise what is wrong.
inline std::string judge(const std::vector<LogEntry>& entries, const CallLog& call) {
    std::vector<LogEntry> monitor;
    std::vector<LogEntry> status;
    std::vector<std::size_t> monitor_at;
    std::vector<std::size_t> status_at;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (is_monitor_entry(entries[i])) {
            monitor.push_back(entries[i]);
            monitor_at.push_back(i);
        } else {
            status.push_back(entries[i]);
            status_at.push_back(i);
        }
    }
    const auto list = [](const std::vector<LogEntry>& es) {
        std::string out;
        for (const LogEntry& e : es) out += "[" + narrow(e.code) + "] ";
        return out;
    };
    if (monitor != call.monitor) {
        return "monitor entries differ: got " + list(monitor) + "want " + list(call.monitor);
    }
    if (status != call.status) {
        return "status entries differ: got " + list(status) + "want " + list(call.status);
    }
    for (const auto& [m, s] : call.tapped_before) {
        if (monitor_at[m] > status_at[s]) {
            return "the answer " + narrow(call.status[s].code) + " came before the command " +
                   narrow(call.monitor[m].code) + " was tapped";
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
