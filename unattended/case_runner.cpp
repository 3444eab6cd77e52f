#include "unattended/case_runner.h"

#include <algorithm>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "program/captions.h"
#include "shell/communication.h"
#include "vocabulary/utf8.h"

namespace mirvane::unattended {

namespace {

using std::chrono::milliseconds;

// The put-down's answers come within a few byte times; a quiet spell this long ends them.
constexpr milliseconds kQuietSpell{300};
constexpr milliseconds kSettleMost{1500};
constexpr std::size_t kEntriesShown = 5;

bool receiver_up(const WindowOps& window) { return window.caption(Control::Command4) == caption::kPutReceiverDown; }

// The keypad's index of a key, as the window lays the keys out: 1-9, then 0, * and #.
int keypad_index(char16_t key) {
    if (key >= u'1' && key <= u'9') return key - u'0';
    return key == u'0' ? 10 : key == u'*' ? 11 : 12;
}

std::string seconds(milliseconds time) {
    const auto ms = time.count();
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + "s" : std::to_string(ms) + "ms";
}

}  // namespace

std::optional<std::u16string> CaseRunner::start() {
    if (!communication_running(window_)) Command1_Click(program_);
    if (communication_running(window_)) return std::nullopt;
    return window_.boxes.empty() ? std::u16string(u"terminal communication did not start") : window_.boxes.back();
}

FileResult CaseRunner::run(const TestFile& file,
                           const std::function<void(const FileResult&, const CaseResult&)>& ended) {
    FileResult result{file.path, {}};
    for (const TestCase& test_case : file.cases) {
        result.cases.push_back(run_case(file.path, test_case));
        ended(result, result.cases.back());
    }
    return result;
}

void CaseRunner::finish() {
    if (receiver_up(window_) && communication_running(window_)) {
        Command4_Click(program_);
        settle();
    }
    if (communication_running(window_)) Command1_Click(program_);
}

CaseResult CaseRunner::run_case(const std::string& path, const TestCase& test_case) {
    CaseResult result{test_case.name, test_case.line, Outcome::passed, {}, {}, {}};
    const milliseconds began = window_.clock();
    const auto place = [&](int line) { return path + ":" + std::to_string(line) + ": "; };
    std::size_t first = log_.entries().size();
    if (host_.interrupted() && not_run_.empty()) not_run_ = "interrupted";
    if (not_run_.empty()) {
        if (auto problem = prepare()) {
            result.outcome = Outcome::error;
            result.message = place(test_case.line) + *problem;
        }
        first = log_.entries().size();
    } else {
        result.outcome = Outcome::error;
        result.message = place(test_case.line) + "not run: " + not_run_;
    }
    for (const Step& step : test_case.steps) {
        if (result.outcome != Outcome::passed) break;
        std::optional<std::string> failure = word_row(step.word).kind == Kind::Expectation ? expect(step) : act(step);
        if (!failure) failure = new_box();
        if (host_.interrupted()) {
            not_run_ = "interrupted";
            result.outcome = Outcome::error;
            result.message = place(step.line) + to_utf8(step.source) + ": interrupted";
        } else if (failure) {
            result.outcome = Outcome::failed;
            result.message = place(step.line) + to_utf8(step.source) + ": " + *failure;
        }
    }
    const auto& entries = log_.entries();
    for (std::size_t i = std::min(first, entries.size()); i < entries.size(); ++i)
        result.log.push_back(entries[i].line());
    if (result.outcome == Outcome::failed) {
        result.message += "\nlast entries seen:";
        if (result.log.empty()) result.message += " none";
        const std::size_t shown = std::min(result.log.size(), kEntriesShown);
        for (std::size_t i = result.log.size() - shown; i < result.log.size(); ++i)
            result.message += "\n  " + to_utf8(result.log[i]);
    }
    result.time = window_.clock() - began;
    return result;
}

std::optional<std::string> CaseRunner::prepare() {
    if (auto problem = start()) return "terminal communication did not start: " + to_utf8(*problem);
    if (receiver_up(window_)) {
        Command4_Click(program_);
        settle();
    }
    Command7_Click(program_);
    boxes_seen_ = window_.boxes.size();
    cursor_ = log_.entries().size();
    return std::nullopt;
}

std::optional<std::string> CaseRunner::act(const Step& step) {
    const WordRow& row = word_row(step.word);
    if (step.word == Word::Wait) {
        const milliseconds deadline = window_.clock() + step.duration;
        // A box ends the wait: the case has failed already.
        while (window_.clock() < deadline && !host_.interrupted() && window_.boxes.size() == boxes_seen_)
            host_.sleep_until(deadline);
        return std::nullopt;
    }
    // What came before an action is no answer to it.
    cursor_ = log_.entries().size();
    const bool running = communication_running(window_);
    if (!enabled(step)) {
        const std::string control = step.word == Word::Key ? "the keypad" : to_utf8(row.caption);
        return control + " is disabled: terminal communication does not run";
    }
    switch (step.word) {
        case Word::Start:
            if (!running) Command1_Click(program_);
            break;
        case Word::Stop:
            if (running) Command1_Click(program_);
            break;
        case Word::Lift:
            if (!receiver_up(window_)) Command4_Click(program_);
            break;
        case Word::PutDown:
            if (receiver_up(window_)) Command4_Click(program_);
            break;
        case Word::Dial:
            window_.set_text(Control::Text3, step.text);
            Command3_Click(program_);
            break;
        case Word::Key: Command5_Click(program_, keypad_index(step.text.front())); break;
        case Word::Complete: Command6_Click(program_); break;
        case Word::Hex:
            window_.set_text(Control::Text6, step.text);
            Command8_Click(program_);
            break;
        case Word::Clear: Command7_Click(program_); break;
        default: break;
    }
    return std::nullopt;
}

std::optional<std::string> CaseRunner::expect(const Step& step) {
    const auto& entries = log_.entries();
    const std::size_t from = entries.size();
    const milliseconds deadline = window_.clock() + step.duration;
    const bool forbids = step.word == Word::ExpectNo || step.word == Word::ExpectNothing;
    for (;;) {
        if (forbids) {
            const std::size_t found = find_entry(step, entries, from);
            if (found < entries.size()) return "it came: " + to_utf8(entries[found].line());
        } else if (waits_for_entry(step.word)) {
            const std::size_t found = find_entry(step, entries, cursor_);
            if (found < entries.size()) {
                cursor_ = found + 1;
                return std::nullopt;
            }
        } else if (labels_match(step, {window_.caption(Control::Label1), window_.caption(Control::Label2),
                                       window_.text(Control::Text4)})) {
            return std::nullopt;
        }
        if (window_.boxes.size() > boxes_seen_ || host_.interrupted()) return new_box();
        if (window_.clock() >= deadline) break;
        host_.sleep_until(deadline);
    }
    if (forbids) return std::nullopt;
    std::string failure = "not met in " + seconds(step.duration);
    if (step.word == Word::ExpectLevel) failure += "; the label reads " + to_utf8(window_.caption(Control::Label1));
    if (step.word == Word::ExpectTone) failure += "; the label reads " + to_utf8(window_.caption(Control::Label2));
    if (step.word == Word::ExpectDialData) failure += "; Dial データ reads " + to_utf8(window_.text(Control::Text4));
    return failure;
}

// A press is refused where the window would not take the click: the sending controls are
// disabled while terminal communication does not run. The start button and the clear never are.
bool CaseRunner::enabled(const Step& step) const {
    if (step.word == Word::Key) {
        const auto key = window_.keypad_enabled.find(keypad_index(step.text.front()));
        return key != window_.keypad_enabled.end() && key->second;
    }
    const std::optional<Control> control = word_row(step.word).control;
    if (!control || control == Control::Command1 || control == Control::Command7) return true;
    return window_.is_enabled(*control);
}

std::optional<std::string> CaseRunner::new_box() {
    if (window_.boxes.size() <= boxes_seen_) return std::nullopt;
    const std::u16string text = window_.boxes[boxes_seen_];
    boxes_seen_ = window_.boxes.size();
    // A line lost ends terminal communication; the cases left cannot run.
    if (!communication_running(window_)) not_run_ = "the line was lost: " + to_utf8(text);
    return "message box: " + to_utf8(text);
}

void CaseRunner::settle() {
    const milliseconds most = window_.clock() + kSettleMost;
    std::size_t seen = log_.entries().size();
    milliseconds quiet_until = window_.clock() + kQuietSpell;
    while (window_.clock() < std::min(quiet_until, most)) {
        host_.sleep_until(std::min(quiet_until, most));
        if (log_.entries().size() != seen) {
            seen = log_.entries().size();
            quiet_until = window_.clock() + kQuietSpell;
        }
    }
}

}  // namespace mirvane::unattended
