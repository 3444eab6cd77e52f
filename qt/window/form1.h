#pragma once
// Form1, the one window, on Qt Widgets. It builds the controls from the design table,
// carries out the window and runtime operations, and hands every click to the core.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

#include "program/program.h"
#include "program/window_ops.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace mirvane::qt {

class Form1 final : public QWidget, public WindowOps {
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // The program whose handlers the controls call. Until then, clicks do nothing.
    void attach(Program& program);

    void show_window() override;
    void unload_window() override;
    void end_program() override;

    void set_caption(Control control, std::u16string_view caption) override;
    std::u16string caption(Control control) const override;

    void set_text(Control control, std::u16string_view text) override;
    std::u16string text(Control control) const override;
    void show_pane(Control control, PaneText& pane) override;

    void set_enabled(Control control, bool enabled) override;
    void set_keypad_enabled(int index, bool enabled) override;

    void message_box(std::u16string_view message) override;
    void yield() override;
    std::u16string time_of_day() const override;
    std::chrono::milliseconds clock() const override;
    void warn(std::u16string_view message) override;

    // Painting cadence: a text set after a quiet spell is painted at the next turn; while
    // texts keep coming, paints are spaced out, doubling up to the longest space, so that a
    // steady stream costs a few paints a second however fast it flows.
    static constexpr int kFirstPaintSpacingMs = 16;
    static constexpr int kLongestPaintSpacingMs = 400;
    // Another cadence; (0, 0) paints at every turn that follows a set.
    void set_paint_spacing(int first_ms, int longest_ms);

    QWidget* control_widget(Control control) const;
    QPushButton* keypad_button(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;
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

    void build();
    void click(void (*handler)(Program&));
    void schedule_painting();
    void paint_text_boxes();
    TextBox* text_box(Control control);
    const TextBox* text_box(Control control) const;

    Program* program_ = nullptr;
    std::map<Control, QWidget*> controls_;
    std::map<int, QPushButton*> keypad_;
    std::map<Control, TextBox> text_boxes_;
    QTimer paint_timer_;
    QElapsedTimer since_paint_;
    int paint_spacing_ms_ = 0;
    int first_paint_spacing_ms_ = kFirstPaintSpacingMs;
    int longest_paint_spacing_ms_ = kLongestPaintSpacingMs;
    bool painting_ = false;
    bool ended_ = false;
    QTimer yield_timer_;
    mutable qint64 clock_second_ = -1;  // the second clock_text_ was made for
    mutable std::u16string clock_text_;
};

}  // namespace mirvane::qt
