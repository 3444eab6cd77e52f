#pragma once
// Form1, the one window, on Qt Widgets. It builds the controls from the design table,
// carries out the window and runtime operations, and hands every click to the core.

#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

#include "shell/program.h"
#include "shell/window_ops.h"

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

    void set_enabled(Control control, bool enabled) override;
    void set_keypad_enabled(int index, bool enabled) override;

    void message_box(std::u16string_view message) override;
    void yield() override;
    std::u16string time_of_day() const override;

    QWidget* control_widget(Control control) const;
    QPushButton* keypad_button(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A text box keeps the text the logic set or the operator typed. The widget shows it
    // from the next turn of the event loop: the logic rebuilds a pane per byte, and
    // redrawing a long pane per byte would freeze the window under a burst. A pane is
    // brought up to date by editing what changed since it was last shown, not by laying
    // out its whole text again.
    struct TextBox {
        QPlainTextEdit* pane = nullptr;
        QLineEdit* line = nullptr;
        std::u16string text;
        QString shown;  // what the pane's document reads, line breaks as '\n'
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
    bool painting_queued_ = false;
    bool painting_ = false;
    bool ended_ = false;
    QTimer yield_timer_;
    mutable qint64 clock_second_ = -1;  // the second clock_text_ was made for
    mutable std::u16string clock_text_;
};

}  // namespace mirvane::qt
