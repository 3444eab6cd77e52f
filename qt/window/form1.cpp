#include "qt/window/form1.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextCursor>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <vector>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "qt/window/fonts.h"
#include "qt/window/form_layout.h"
#include "shell/communication.h"
#include "shell/startup.h"

namespace mirvane::qt {

namespace {

QString q(std::u16string_view text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

int pixels(int twips) { return twips / kTwipsPerPixel; }

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

// The core breaks lines with CR LF; a Qt text document takes CR, LF and CR LF alike as one
// break between blocks, so CR LF is shown as LF and a lone CR as LF too.
QString for_display(std::u16string_view text) {
    QString shown = q(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

std::u16string from_display(const QString& shown) {
    QString text = shown;
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return text.toStdU16String();
}

// How long a stretch of the core's text is in the document, where CR LF is one character.
int document_length(std::u16string_view text) {
    int length = static_cast<int>(text.size());
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i - 1] == u'\r' && text[i] == u'\n') --length;
    }
    return length;
}

// Breaks between lines in a stretch of the core's text, as the document shows them.
int line_breaks(std::u16string_view text) {
    int breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'))) ++breaks;
    }
    return breaks;
}

// Makes the pane show the core's text as `change` describes it from `shown`, the core's text
// the pane shows now, in one undo-free edit. The view keeps what it showed: at the top it
// stays at the top, where the newest line is; scrolled down, it moves with the lines added
// or removed above.
void draw_change(QPlainTextEdit& pane, std::u16string_view shown, const PaneChange& change) {
    const std::u16string_view front = shown.substr(0, change.cut_front);
    const std::u16string_view back = shown.substr(shown.size() - change.cut_back);
    QScrollBar& bar = *pane.verticalScrollBar();
    const int top_line = bar.value();

    QTextCursor edit(pane.document());
    edit.beginEditBlock();
    if (!back.empty()) {
        edit.movePosition(QTextCursor::End);
        edit.setPosition(edit.position() - document_length(back), QTextCursor::KeepAnchor);
        edit.removeSelectedText();
    }
    edit.setPosition(0);
    edit.setPosition(document_length(front), QTextCursor::KeepAnchor);
    if (change.fresh.empty()) {
        edit.removeSelectedText();
    } else {
        edit.insertText(for_display(change.fresh));
    }
    edit.endEditBlock();

    bar.setValue(top_line == 0 ? 0 : top_line + line_breaks(change.fresh) - line_breaks(front));
}

// A push button whose caption wraps inside the button, as the narrow start and exit
// buttons need for their six-character captions.
class CaptionButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        const QString caption = option.text;
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        style()->drawItemText(&painter, area, Qt::AlignCenter | Qt::TextWordWrap, palette(), isEnabled(), caption,
                              QPalette::ButtonText);
    }
};

// An outline with curved corners, no fill and no behaviour, behind the controls it groups.
class RoundedFrame final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8.0, 8.0);
    }
};

QFont font_of(const ControlDesign& design, const QFont& window_font) {
    if (!design.face) return window_font;
    return *design.face == Face::Fixed ? fixed_pitch_font(q(kFixedFamily), design.points)
                                       : proportional_font(design.points);
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    paint_timer_.setSingleShot(true);
    paint_timer_.setTimerType(Qt::PreciseTimer);
    connect(&paint_timer_, &QTimer::timeout, this, &Form1::paint_text_boxes);
    yield_timer_.setSingleShot(true);
    yield_timer_.setTimerType(Qt::PreciseTimer);
    yield_timer_.setInterval(1);
    build();
}

Form1::~Form1() = default;

void Form1::attach(Program& program) { program_ = &program; }

void Form1::build() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(q(kWindowCaption));
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    setFont(proportional_font(kWindowPoints));

    // The panes' scroll bars are drawn plain: they are drawn again whenever their range moves,
    // as at every paint while a log fills, and the default gradients are dear.
    QStyle* const plain_scroll_bars = QStyleFactory::create(QStringLiteral("Windows"));

    std::vector<std::pair<int, QWidget*>> tab_chain;
    for (const ControlDesign& design : kFormLayout) {
        QWidget* widget = nullptr;
        const QString caption = q(design.caption);
        switch (design.kind) {
            case Kind::Button:
            case Kind::KeypadButton: {
                auto* button = new CaptionButton(caption, this);
                button->setAutoDefault(false);
                widget = button;
                break;
            }
            case Kind::LineBox: {
                auto* line = new QLineEdit(caption, this);
                // Qt's own limit of 32,767 would cut a pasted number or hex text short.
                line->setMaxLength(std::numeric_limits<int>::max());
                TextBox& box = text_boxes_[*design.control];
                box.line = line;
                box.text = caption.toStdU16String();
                connect(line, &QLineEdit::textEdited, this, [this, control = *design.control](const QString& typed) {
                    text_boxes_[control].text = typed.toStdU16String();
                });
                widget = line;
                break;
            }
            case Kind::TextPane: {
                auto* pane = new QPlainTextEdit(caption, this);
                // Every paint is an edit of the document; kept for undo, they would pile up.
                pane->document()->setUndoRedoEnabled(false);
                pane->setTabChangesFocus(true);
                pane->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                if (design.scroll_bars == ScrollBars::Both) {
                    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
                    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
                } else {
                    pane->setLineWrapMode(QPlainTextEdit::WidgetWidth);
                    pane->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                }
                if (plain_scroll_bars != nullptr) {
                    pane->verticalScrollBar()->setStyle(plain_scroll_bars);
                    pane->horizontalScrollBar()->setStyle(plain_scroll_bars);
                }
                TextBox& box = text_boxes_[*design.control];
                box.pane = pane;
                box.text = caption.toStdU16String();
                connect(pane, &QPlainTextEdit::textChanged, this, [this, pane, control = *design.control] {
                    if (painting_) return;
                    // The operator typed into the pane: it reads what was typed until the logic
                    // sets it again, and is then drawn whole, its text being no base any more.
                    TextBox& box = text_boxes_[control];
                    box.text = from_display(pane->toPlainText());
                    box.typed = true;
                    box.draw_whole = true;
                });
                pane->viewport()->installEventFilter(this);
                widget = pane;
                break;
            }
            case Kind::Label: {
                auto* label = new QLabel(caption, this);
                label->setTextFormat(Qt::PlainText);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                label->setWordWrap(true);
                widget = label;
                break;
            }
            case Kind::Frame: {
                widget = new RoundedFrame(this);
                widget->setAttribute(Qt::WA_TransparentForMouseEvents);
                widget->setFocusPolicy(Qt::NoFocus);
                break;
            }
        }
        widget->setObjectName(QString::fromLatin1(design.name.data(), static_cast<qsizetype>(design.name.size())));
        widget->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width), pixels(design.height));
        widget->setFont(font_of(design, font()));
        if (design.kind == Kind::Frame) widget->lower();
        if (design.kind == Kind::LineBox || design.kind == Kind::TextPane) widget->installEventFilter(this);
        if (design.control) controls_[*design.control] = widget;
        if (design.kind == Kind::KeypadButton) {
            auto* key = static_cast<QPushButton*>(widget);
            key->setProperty("index", design.index);
            keypad_[design.index] = key;
            connect(key, &QPushButton::clicked, this, [this, index = design.index] {
                if (program_ != nullptr) Command5_Click(*program_, index);
            });
        }
        if (widget->focusPolicy() != Qt::NoFocus) tab_chain.emplace_back(design.tab_index, widget);
    }

    const std::pair<Control, void (*)(Program&)> handlers[] = {
        {Control::Command1, &Command1_Click}, {Control::Command2, &Command2_Click},
        {Control::Command3, &Command3_Click}, {Control::Command4, &Command4_Click},
        {Control::Command6, &Command6_Click}, {Control::Command7, &Command7_Click},
        {Control::Command8, &Command8_Click},
    };
    for (const auto& [control, handler] : handlers) {
        connect(static_cast<QPushButton*>(controls_.at(control)), &QPushButton::clicked, this,
                [this, handler = handler] { click(handler); });
    }

    std::sort(tab_chain.begin(), tab_chain.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tab_chain.size(); ++i) {
        setTabOrder(tab_chain[i - 1].second, tab_chain[i].second);
    }

    // The window's last child, so deleted after the scroll bars that use it.
    if (plain_scroll_bars != nullptr) plain_scroll_bars->setParent(this);
}

void Form1::click(void (*handler)(Program&)) {
    if (program_ != nullptr) handler(*program_);
}

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
    QWidget* widget = controls_.at(control);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(q(caption));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(q(caption));
    }
}

std::u16string Form1::caption(Control control) const {
    QWidget* widget = controls_.at(control);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdU16String();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text().toStdU16String();
    return {};
}

Form1::TextBox* Form1::text_box(Control control) {
    const auto it = text_boxes_.find(control);
    return it == text_boxes_.end() ? nullptr : &it->second;
}

const Form1::TextBox* Form1::text_box(Control control) const {
    const auto it = text_boxes_.find(control);
    return it == text_boxes_.end() ? nullptr : &it->second;
}

void Form1::set_text(Control control, std::u16string_view text) {
    TextBox* box = text_box(control);
    if (box == nullptr) return;
    box->text.assign(text);
    box->source = nullptr;
    box->stale = true;
    schedule_painting();
}

std::u16string Form1::text(Control control) const {
    const TextBox* box = text_box(control);
    if (box == nullptr) return {};
    if (box->source != nullptr && !box->typed) return std::u16string(box->source->view());
    return box->text;
}

void Form1::show_pane(Control control, PaneText& pane) {
    TextBox* box = text_box(control);
    if (box == nullptr || box->pane == nullptr) return;
    box->source = &pane;
    box->typed = false;
    box->stale = true;
    schedule_painting();
}

void Form1::set_paint_spacing(int first_ms, int longest_ms) {
    first_paint_spacing_ms_ = first_ms;
    longest_paint_spacing_ms_ = std::max(first_ms, longest_ms);
    paint_spacing_ms_ = 0;
}

void Form1::schedule_painting() {
    if (paint_timer_.isActive()) return;
    const qint64 since = since_paint_.isValid() ? since_paint_.elapsed() : longest_paint_spacing_ms_;
    if (since >= longest_paint_spacing_ms_) paint_spacing_ms_ = 0;
    paint_timer_.start(static_cast<int>(std::max<qint64>(0, paint_spacing_ms_ - since)));
}

void Form1::paint_text_boxes() {
    paint_timer_.stop();
    since_paint_.start();
    paint_spacing_ms_ =
        paint_spacing_ms_ == 0 ? first_paint_spacing_ms_ : std::min(2 * paint_spacing_ms_, longest_paint_spacing_ms_);
    painting_ = true;
    for (auto& [control, box] : text_boxes_) {
        if (!box.stale) continue;
        box.stale = false;
        if (box.source != nullptr) {
            const PaneChange change = box.source->take_change();
            if (change.whole || box.draw_whole) {
                box.pane->setPlainText(for_display(change.text));
            } else {
                draw_change(*box.pane, box.shown, change);
            }
            box.shown.assign(change.text);
            box.draw_whole = false;
        } else if (box.pane != nullptr) {
            box.pane->setPlainText(for_display(box.text));
        } else {
            box.line->setText(q(box.text));
        }
    }
    painting_ = false;
}

// The operator must type into what the logic last set, not into an older picture of it.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::InputMethod:
        case QEvent::MouseButtonPress:
        case QEvent::Drop:
            if (paint_timer_.isActive()) paint_text_boxes();
            break;
        default: break;
    }
    return QWidget::eventFilter(watched, event);
}

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
    std::fprintf(stderr, "%s\n", q(message).toLocal8Bit().constData());
}

QWidget* Form1::control_widget(Control control) const { return controls_.at(control); }

QPushButton* Form1::keypad_button(int index) const {
    const auto it = keypad_.find(index);
    return it == keypad_.end() ? nullptr : it->second;
}

}  // namespace mirvane::qt
