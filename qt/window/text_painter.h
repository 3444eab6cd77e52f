#pragma once
// The window's text boxes: what each holds, and when and how it is painted. The logic sets
// a text or tells of a changed traffic pane as often as it likes; the boxes are painted at
// a cadence, a traffic pane as one edit of its document that carries whatever changed in
// the core's text since the last paint, or, for the received bytes' pane while it draws its
// own rows (receive_pane.h), as that text handed to it. When to paint is decided here and
// nowhere else.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "program/pane_text.h"
#include "program/window_ops.h"

class QLineEdit;
class QPlainTextEdit;

namespace mirvane::qt {

class TextPainter final : public QObject {
public:
    explicit TextPainter(QObject* parent = nullptr);

    // A box to keep and paint; it holds what the widget shows until the logic sets it.
    void add_line_box(Control control, QLineEdit& line);
    void add_pane(Control control, QPlainTextEdit& pane);

    // The window operations on text, for the boxes added (nothing, or empty, for others).
    void set_text(Control control, std::u16string_view text);
    std::u16string text(Control control) const;
    void show_pane(Control control, PaneText& pane);

    // Painting cadence: the display's. A text set a frame or more after the last paint is
    // painted at the end of the turn that set it; one set sooner waits, a frame at most,
    // for a later change that may be painted at once. Every change is on the screen within
    // a frame and a paint, paints are a frame apart at least however fast a stream flows,
    // and a stream a little faster than a frame is painted every other byte without a
    // wake-up of its own.
    static constexpr int kFrameMs = 25;
    // Another frame; 0 paints at every turn that follows a set.
    void set_frame(int ms);
    // More changes than this since the last paint, due at once, are a burst: painted once
    // no more have come for kBurstPauseMs, a frame after it began at the latest, not at its
    // first read and again after it.
    static constexpr int kBurstChanges = 256;
    static constexpr int kBurstPauseMs = 3;

    // A paint is set for later than this turn and less than a frame from the last: what
    // comes in before then is painted by it, however late it is read.
    bool paint_coming() const;
    // Run first at every paint: what has been kept waiting for it comes in.
    void before_paint(std::function<void()> take_waiting) { take_waiting_ = std::move(take_waiting); }

protected:
    // The operator must type into what the logic last set, not into an older picture of it:
    // a key, a click or a drop on a box paints what is waiting first.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A text box keeps what the logic set or the operator typed and shows it from the next
    // paint; a traffic pane then draws only what changed in the core's text since.
    struct TextBox {
        QPlainTextEdit* pane = nullptr;
        QLineEdit* line = nullptr;
        std::u16string text;         // set by the logic or typed
        PaneText* source = nullptr;  // a traffic pane's text in the core
        std::u16string shown;        // the source's text as last drawn
        bool typed = false;          // text() reads what the operator typed
        bool draw_whole = false;     // the pane no longer shows `shown`
        bool stale = false;
    };

    void schedule_painting();
    void paint_in_time();
    void paint();
    TextBox* text_box(Control control);
    const TextBox* text_box(Control control) const;

    std::map<Control, TextBox> boxes_;
    // The boxes by control, for the lookup of every byte's and every entry's pane.
    std::array<TextBox*, kControlCount> box_of_{};
    std::function<void()> take_waiting_;
    QTimer paint_timer_;
    QElapsedTimer since_paint_;
    int frame_ms_ = kFrameMs;
    int changes_since_paint_ = 0;
    int changes_seen_ = 0;       // when the burst was last looked at
    QElapsedTimer burst_began_;  // invalid outside a burst
    bool painting_ = false;
    bool paint_at_once_ = false;  // the timer runs out at the end of this turn
    bool turn_timed_ = false;     // this turn of the event loop has read the clock
    bool turns_known_ = false;    // the event loop says when a turn begins
};

}  // namespace mirvane::qt
