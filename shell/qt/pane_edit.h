#pragma once
// Bringing a shown pane up to a new text by changing only what differs. Both panes move by
// a line or a code at the front and lose one at the end; replacing the whole document for
// that costs a full re-layout, editing the two ends costs two short edits.

#include <QString>
#include <QStringView>
#include <vector>

class QPlainTextEdit;

namespace mirvane::qt {

// A stretch of the shown text that stays: shown[shown_at, +length) == wanted[wanted_at, +length).
struct KeptRun {
    qsizetype shown_at = 0;
    qsizetype wanted_at = 0;
    qsizetype length = 0;
};

// The stretches of `shown` to keep on the way to `wanted`, in order, neither overlapping
// nor splitting a surrogate pair. Everything between them is replaced. Of the shapes tried
// (common ends; the old text moved back behind new text in front; the old text's front
// gone) the one that replaces the fewest characters wins. Empty when nothing is worth
// keeping.
std::vector<KeptRun> runs_to_keep(QStringView shown, QStringView wanted);

// Characters replaced when keeping `runs`: removed from `shown` plus inserted from `wanted`.
qsizetype replaced_characters(QStringView shown, QStringView wanted, const std::vector<KeptRun>& runs);

// Makes the pane's document read `wanted`, given that it reads `shown`, in one edit block.
// Both break lines with '\n' alone and hold no CR: a document takes CR LF as one break, so a
// CR would make positions in the text and in the document part ways. The view keeps what it showed: at the top it stays at the top,
// where the newest line is; scrolled down, it moves with the lines added or removed above.
// A focused pane's caret at the start stays at the start.
// The pane's document must have undo switched off, or every paint would be kept.
void bring_pane_to(QPlainTextEdit& pane, QStringView shown, QStringView wanted);

}  // namespace mirvane::qt
