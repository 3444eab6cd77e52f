#include "shell/qt/pane_edit.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace mirvane::qt {

namespace {

// How far back a key from one text is looked for in the other. The panes repeat a pattern
// when the line repeats one, so the first place a key fits need not be the best; a few
// places are enough to find a long run.
constexpr qsizetype kKeyLength = 16;
constexpr int kPlacesTried = 4;

qsizetype common_prefix(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    return std::mismatch(a.begin(), a.begin() + n, b.begin()).first - a.begin();
}

qsizetype common_suffix(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    return std::mismatch(a.rbegin(), a.rbegin() + n, b.rbegin()).first - a.rbegin();
}

// A kept run must not begin with the second half of a surrogate pair or end with the first
// half: the edit beside it would cut the character in two.
void keep_pairs_whole(QStringView shown, KeptRun& run) {
    if (run.length > 0 && shown[run.shown_at].isLowSurrogate()) {
        ++run.shown_at;
        ++run.wanted_at;
        --run.length;
    }
    if (run.length > 0 && shown[run.shown_at + run.length - 1].isHighSurrogate()) --run.length;
}

// The run at the given places, followed by the common end of what is left after it.
std::vector<KeptRun> run_then_common_end(QStringView shown, QStringView wanted, qsizetype shown_at,
                                         qsizetype wanted_at) {
    std::vector<KeptRun> runs;
    const qsizetype length = common_prefix(shown.mid(shown_at), wanted.mid(wanted_at));
    if (length > 0) runs.push_back({shown_at, wanted_at, length});
    const qsizetype shown_rest = shown_at + length;
    const qsizetype wanted_rest = wanted_at + length;
    const qsizetype tail = common_suffix(shown.mid(shown_rest), wanted.mid(wanted_rest));
    if (tail > 0) runs.push_back({shown.size() - tail, wanted.size() - tail, tail});
    for (KeptRun& run : runs) keep_pairs_whole(shown, run);
    std::erase_if(runs, [](const KeptRun& run) { return run.length == 0; });
    return runs;
}

// Places after the first where the front of `needle` appears in `haystack`.
std::vector<qsizetype> places_of_front(QStringView needle, QStringView haystack) {
    std::vector<qsizetype> places;
    const QStringView key = needle.left(kKeyLength);
    if (key.isEmpty()) return places;
    qsizetype from = 1;
    while (static_cast<int>(places.size()) < kPlacesTried) {
        const qsizetype at = haystack.indexOf(key, from);
        if (at < 0) break;
        places.push_back(at);
        from = at + 1;
    }
    return places;
}

qsizetype line_breaks(QStringView text) { return text.count(u'\n'); }

}  // namespace

qsizetype replaced_characters(QStringView shown, QStringView wanted, const std::vector<KeptRun>& runs) {
    qsizetype kept = 0;
    for (const KeptRun& run : runs) kept += run.length;
    return (shown.size() - kept) + (wanted.size() - kept);
}

std::vector<KeptRun> runs_to_keep(QStringView shown, QStringView wanted) {
    // Common ends: a pane whose middle changed, or one that only grew or shrank at one end.
    std::vector<KeptRun> best = run_then_common_end(shown, wanted, 0, 0);
    qsizetype best_cost = replaced_characters(shown, wanted, best);
    const auto consider = [&](qsizetype shown_at, qsizetype wanted_at) {
        std::vector<KeptRun> runs = run_then_common_end(shown, wanted, shown_at, wanted_at);
        const qsizetype cost = replaced_characters(shown, wanted, runs);
        if (cost < best_cost) {
            best = std::move(runs);
            best_cost = cost;
        }
    };
    // New items in front, the old text behind them (less its oldest end).
    for (const qsizetype at : places_of_front(shown, wanted)) consider(0, at);
    // The old front gone, the rest of the old text now leading.
    for (const qsizetype at : places_of_front(wanted, shown)) consider(at, 0);
    return best;
}

void bring_pane_to(QPlainTextEdit& pane, QStringView shown, QStringView wanted) {
    if (shown == wanted) return;  // nothing to edit, nothing to lay out or draw again
    const std::vector<KeptRun> runs = runs_to_keep(shown, wanted);

    QScrollBar& bar = *pane.verticalScrollBar();
    const int top_line = bar.value();
    const QTextCursor caret = pane.textCursor();
    const bool caret_at_start = caret.position() == 0 && !caret.hasSelection();

    // Lines gained or lost in front of the first kept run, i.e. above what the view shows.
    const qsizetype first_shown = runs.empty() ? shown.size() : runs.front().shown_at;
    const qsizetype first_wanted = runs.empty() ? wanted.size() : runs.front().wanted_at;
    const qsizetype lines_added_above =
        line_breaks(wanted.left(first_wanted)) - line_breaks(shown.left(first_shown));

    QTextCursor edit(pane.document());
    edit.beginEditBlock();
    // From the end backwards, so that every position still counts in the shown text.
    qsizetype shown_end = shown.size();
    qsizetype wanted_end = wanted.size();
    for (auto run = runs.rbegin();; ++run) {
        const qsizetype shown_from = run == runs.rend() ? 0 : run->shown_at + run->length;
        const qsizetype wanted_from = run == runs.rend() ? 0 : run->wanted_at + run->length;
        if (shown_from < shown_end || wanted_from < wanted_end) {
            edit.setPosition(static_cast<int>(shown_from));
            edit.setPosition(static_cast<int>(shown_end), QTextCursor::KeepAnchor);
            const QStringView put = wanted.mid(wanted_from, wanted_end - wanted_from);
            if (put.isEmpty()) {
                edit.removeSelectedText();
            } else {
                edit.insertText(put.toString());
            }
        }
        if (run == runs.rend()) break;
        shown_end = run->shown_at;
        wanted_end = run->wanted_at;
    }
    edit.endEditBlock();

    // A caret in front of the newest item stays there while the operator can see it. Put
    // back, it costs a layout of the first line each paint, so an unfocused pane's caret
    // (not drawn) moves on with the text, as a caret does when text goes in at its place.
    if (caret_at_start && top_line == 0 && pane.hasFocus() && pane.textCursor().position() != 0) {
        QTextCursor start = pane.textCursor();
        start.setPosition(0);
        pane.setTextCursor(start);
    }
    bar.setValue(top_line == 0 ? 0 : top_line + static_cast<int>(lines_added_above));
}

}  // namespace mirvane::qt
