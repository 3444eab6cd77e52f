#pragma once
// Everything the logic needs from the window toolkit and the runtime. The Qt window
// implements it for real; MemoryWindow keeps it in memory for tests and benchmarks.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "program/pane_text.h"

namespace mirvane {

// The window's named controls. The keypad (Command5) is addressed by index instead.
enum class Control : std::uint8_t {
    Command1,
    Command2,
    Command3,
    Command4,
    Command6,
    Command7,
    Command8,
    Text1,
    Text2,
    Text3,
    Text4,
    Text6,
    Label1,
    Label2,
    Label3,
    Label4,
    Label5,
    Label6,
    Label7
};
// How many controls there are: Label7 is the last.
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(Control::Label7) + 1;

inline constexpr int kKeypadFirst = 1;
inline constexpr int kKeypadLast = 12;

class WindowOps {
public:
    virtual ~WindowOps() = default;

    // Shows the window modelessly; the load handler has already run.
    virtual void show_window() = 0;
    // Raises the unload event; the binding calls Form_Unload from it.
    virtual void unload_window() = 0;
    // Ends the program: no further event is handled.
    virtual void end_program() = 0;

    virtual void set_caption(Control control, std::u16string_view caption) = 0;
    virtual std::u16string caption(Control control) const = 0;

    // Replaces the whole content; text() returns what was last set or typed.
    virtual void set_text(Control control, std::u16string_view text) = 0;
    virtual std::u16string text(Control control) const = 0;

    // A traffic pane (Text1, Text2) has changed. The window takes what changed from `pane`
    // when it draws (PaneText::take_change), once for any number of changes meanwhile; the
    // pane lives as long as the program. text() of the control returns pane's text.
    virtual void show_pane(Control control, PaneText& pane) = 0;

    virtual void set_enabled(Control control, bool enabled) = 0;
    virtual void set_keypad_enabled(int index, bool enabled) = 0;

    // Modal, critical icon, one OK button, the application's default title.
    virtual void message_box(std::u16string_view message) = 0;

    // Runs turn on a later turn of the event loop, once the handler in hand has returned; for
    // what must not run inside a handler, such as a modal box. Nothing runs once the program
    // has ended.
    virtual void run_later(std::function<void()> turn) = 0;

    // Lets every pending window and port event run once, then returns.
    virtual void yield() = 0;

    // Local time of day as hh:mm:ss on the 24-hour clock.
    virtual std::u16string time_of_day() const = 0;

    // A clock that only moves forward, for waits that must end.
    virtual std::chrono::milliseconds clock() const = 0;

    // For what the operator should notice but need not confirm: the bell, and the message as
    // one line on standard error.
    virtual void warn(std::u16string_view message) = 0;
};

}  // namespace mirvane
