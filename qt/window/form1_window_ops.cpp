// What the core asks of the window and the runtime (WindowOps), carried out on Qt: showing
// and unloading, captions, texts and enabled states, the message box, the yield, the time
// of day, the clock and the warning.

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <chrono>
#include <cstdio>

#include "qt/window/form1.h"
#include "qt/window/utf16.h"
#include "shell/startup.h"

namespace mirvane::qt {

namespace {

// A message names a device by its path, whose names may be wider than the box and hold no
// place to break a line; a zero-width space after every so many of their characters lets
// the box wrap them instead of cutting them off.
QString wrappable(std::u16string_view message) {
    constexpr int kLongestUnbroken = 32;
    QString text;
    int unbroken = 0;
    for (const char16_t ch : message) {
        text += QChar(ch);
        const bool breaks_nowhere = ch > u' ' && ch <= u'~' && ch != u'/';
        unbroken = breaks_nowhere ? unbroken + 1 : 0;
        if (unbroken == kLongestUnbroken) {
            text += QChar(u'\u200B');
            unbroken = 0;
        }
    }
    return text;
}

}  // namespace

void Form1::show_window() {
    show();
    controls_.at(Control::Text1)->setFocus(Qt::OtherFocusReason);
}

void Form1::unload_window() { close(); }

void Form1::end_program() {
    ended_ = true;
    QCoreApplication::quit();
}

void Form1::closeEvent(QCloseEvent* event) {
    if (program_ != nullptr) Form_Unload(*program_);
    event->accept();
}

void Form1::set_caption(Control control, std::u16string_view caption) {
    // A label is set again at every entry of its kind, thousands in a burst, and mostly to
    // what it shows: that costs a comparison, not a string made for nothing.
    QWidget* widget = controls_.at(control);
    const QStringView wanted(caption.data(), static_cast<qsizetype>(caption.size()));
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->text() != wanted) button->setText(wanted.toString());
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text() != wanted) label->setText(wanted.toString());
    }
}

std::u16string Form1::caption(Control control) const {
    QWidget* widget = controls_.at(control);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdU16String();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdU16String();
    return {};
}

void Form1::set_text(Control control, std::u16string_view text) { text_painter_.set_text(control, text); }

std::u16string Form1::text(Control control) const { return text_painter_.text(control); }

void Form1::show_pane(Control control, PaneText& pane) { text_painter_.show_pane(control, pane); }

void Form1::set_paint_frame(int ms) { text_painter_.set_frame(ms); }

void Form1::set_enabled(Control control, bool enabled) { controls_.at(control)->setEnabled(enabled); }

void Form1::set_keypad_enabled(int index, bool enabled) {
    const auto it = keypad_.find(index);
    if (it != keypad_.end()) it->second->setEnabled(enabled);
}

void Form1::message_box(std::u16string_view message) {
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), wrappable(message),
                    QMessageBox::Ok, this);
    box.exec();
}

// A queued call: it runs once the handler in hand has returned to the event loop.
void Form1::run_later(std::function<void()> turn) {
    QMetaObject::invokeMethod(
        this,
        [this, turn = std::move(turn)] {
            if (!ended_) turn();
        },
        Qt::QueuedConnection);
}

// Runs what is pending; when nothing is, waits for the next event but no longer than a
// millisecond, so that a send waiting for its byte neither spins nor lags.
void Form1::yield() {
    if (ended_) return;
    yield_timer_.start();
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    yield_timer_.stop();
}

// Every receive event reads the clock, and formatting it looks the time zone up: the text
// is made again only when the second has moved on.
std::u16string Form1::time_of_day() const {
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != clock_second_) {
        clock_second_ = second;
        clock_text_ = QDateTime::fromSecsSinceEpoch(second).toString(QStringLiteral("hh:mm:ss")).toStdU16String();
    }
    return clock_text_;
}

std::chrono::milliseconds Form1::clock() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

void Form1::warn(std::u16string_view message) {
    QApplication::beep();
    std::fprintf(stderr, "%s\n", qstring(message).toLocal8Bit().constData());
}

}  // namespace mirvane::qt
