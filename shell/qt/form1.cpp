#include "shell/qt/form1.h"

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
#include <algorithm>
#include <vector>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "shell/communication.h"
#include "shell/qt/fonts.h"
#include "shell/qt/form_layout.h"
#include "shell/qt/pane_edit.h"
#include "shell/startup.h"

namespace mirvane::qt {

namespace {

QString q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

int pixels(int twips) { return twips / kTwipsPerPixel; }

// The core breaks lines with CR LF; a Qt text document wants LF alone. A CR alone breaks
// a line in a document too; as LF it keeps one character per position, so that a pane can
// be edited by position without a CR and an LF on either side of an edit joining up.
QString for_display(const std::u16string& text) {
    QString shown = QString::fromStdU16String(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}

std::u16string from_display(const QString& shown) {
    QString text = shown;
    text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
    return text.toStdU16String();
}

// The document's characters one for one, each break between lines as '\n'; unlike the
// plain text, nothing else is converted, so it can be compared with what is to be shown.
QString document_text(const QPlainTextEdit& pane) {
    QString text = pane.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QChar(u'\n'));
    return text;
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
        style()->drawItemText(&painter, area, Qt::AlignCenter | Qt::TextWordWrap, palette(),
                              isEnabled(), caption, QPalette::ButtonText);
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

    // The panes' scroll bars are drawn plain, bevelled, without the gradients of the default
    // look: a scroll bar is drawn again whenever its range moves, as at every paint while a
    // log fills, and the gradients made that a tenth of the CPU of a line at 600 baud.
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
                text_boxes_[*design.control] = TextBox{nullptr, line, caption.toStdU16String(), {}, false};
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
                text_boxes_[*design.control] = TextBox{pane, nullptr, caption.toStdU16String(), caption, false};
                connect(pane, &QPlainTextEdit::textChanged, this, [this, pane, control = *design.control] {
                    if (painting_) return;
                    TextBox& box = text_boxes_[control];
                    box.text = from_display(pane->toPlainText());
                    box.shown = document_text(*pane);
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
        widget->setGeometry(pixels(design.left), pixels(design.top), pixels(design.width),
                            pixels(design.height));
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

    std::sort(tab_chain.begin(), tab_chain.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
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
    box->stale = true;
    schedule_painting();
}

std::u16string Form1::text(Control control) const {
    const TextBox* box = text_box(control);
    return box == nullptr ? std::u16string() : box->text;
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
    paint_spacing_ms_ = paint_spacing_ms_ == 0 ? first_paint_spacing_ms_
                                              : std::min(2 * paint_spacing_ms_, longest_paint_spacing_ms_);
    painting_ = true;
    for (auto& [control, box] : text_boxes_) {
        if (!box.stale) continue;
        box.stale = false;
        if (box.pane != nullptr) {
            QString wanted = for_display(box.text);
            bring_pane_to(*box.pane, box.shown, wanted);
            box.shown = std::move(wanted);
        }
        if (box.line != nullptr) box.line->setText(QString::fromStdU16String(box.text));
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
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::set_enabled(Control control, bool enabled) { controls_.at(control)->setEnabled(enabled); }

void Form1::set_keypad_enabled(int index, bool enabled) {
    const auto it = keypad_.find(index);
    if (it != keypad_.end()) it->second->setEnabled(enabled);
}

void Form1::message_box(std::u16string_view message) {
    QMessageBox box(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), q(message),
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

// Every receive event reads the clock. The text changes once a second, and making it
// (the time zone looked up again each time) costs more than decoding the byte, so it is
// made again only when the second has moved on.
std::u16string Form1::time_of_day() const {
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != clock_second_) {
        clock_second_ = second;
        clock_text_ = QDateTime::fromSecsSinceEpoch(second).toString(QStringLiteral("hh:mm:ss")).toStdU16String();
    }
    return clock_text_;
}

QWidget* Form1::control_widget(Control control) const { return controls_.at(control); }

QPushButton* Form1::keypad_button(int index) const {
    const auto it = keypad_.find(index);
    return it == keypad_.end() ? nullptr : it->second;
}

}  // namespace mirvane::qt
