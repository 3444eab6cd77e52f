#pragma once
// Form1, the one window, on Qt Widgets. It is built from the layout table (form1.cpp),
// carries out the window and runtime operations (form1_window_ops.cpp), leaves its text
// boxes to the painter (text_painter.h), and hands every click to the core.

#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

#include "program/program.h"
#include "program/window_ops.h"
#include "qt/window/text_painter.h"

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
    void run_later(std::function<void()> turn) override;
    void yield() override;
    std::u16string time_of_day() const override;
    std::chrono::milliseconds clock() const override;
    void warn(std::u16string_view message) override;

    // The text boxes' painting cadence (TextPainter::set_frame).
    void set_paint_frame(int ms);
    // Whether bytes that come in now can wait for a paint that is coming anyway, and what
    // brings them in at each paint (TextPainter::paint_coming, before_paint).
    bool paint_coming() const { return text_painter_.paint_coming(); }
    void before_paint(std::function<void()> take_waiting) { text_painter_.before_paint(std::move(take_waiting)); }

    QWidget* control_widget(Control control) const;
    QPushButton* keypad_button(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void click(void (*handler)(Program&));

    Program* program_ = nullptr;
    std::map<Control, QWidget*> controls_;
    std::map<int, QPushButton*> keypad_;
    TextPainter text_painter_;
    bool ended_ = false;
    QTimer yield_timer_;
    mutable qint64 clock_second_ = -1;  // the second clock_text_ was made for
    mutable std::u16string clock_text_;
};

}  // namespace mirvane::qt
