// Form1 as designed: every control made from its row of the layout table, placed, given its
// font and tab place, and wired to its handler in the core.

#include "qt/window/form1.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <limits>
#include <vector>

#include "commands/dialling.h"
#include "commands/hook.h"
#include "commands/manual_code.h"
#include "qt/window/drawn_widgets.h"
#include "qt/window/fonts.h"
#include "qt/window/form_layout.h"
#include "qt/window/receive_pane.h"
#include "qt/window/scroll_bar_style.h"
#include "qt/window/utf16.h"
#include "shell/communication.h"
#include "shell/startup.h"

namespace mirvane::qt {

namespace {

int pixels(int twips) { return twips / kTwipsPerPixel; }

QFont font_of(const ControlDesign& design, const QFont& window_font) {
    if (!design.face) return window_font;
    return *design.face == Face::Fixed ? fixed_pitch_font(qstring(kFixedFamily), design.points)
                                       : proportional_font(design.points);
}

QPlainTextEdit* make_pane(const ControlDesign& design, QWidget* window, QStyle* plain_scroll_bars) {
    QPlainTextEdit* const pane = design.control == Control::Text1 ? new ReceivePane(qstring(design.caption), window)
                                                                  : new QPlainTextEdit(qstring(design.caption), window);
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
    return pane;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    yield_timer_.setSingleShot(true);
    yield_timer_.setTimerType(Qt::PreciseTimer);
    yield_timer_.setInterval(1);
    build();
}

Form1::~Form1() = default;

void Form1::attach(Program& program) { program_ = &program; }

void Form1::build() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qstring(kWindowCaption));
    setFixedSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
    setFont(proportional_font(kWindowPoints));

    // The panes' scroll bars are drawn plain: they are drawn again whenever their range moves,
    // as at every paint while a log fills, and the default gradients are dear.
    QStyle* const plain_scroll_bars = new PlainScrollBarStyle;

    std::vector<std::pair<int, QWidget*>> tab_chain;
    for (const ControlDesign& design : kFormLayout) {
        QWidget* widget = nullptr;
        const QString caption = qstring(design.caption);
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
                text_painter_.add_line_box(*design.control, *line);
                widget = line;
                break;
            }
            case Kind::TextPane: {
                QPlainTextEdit* pane = make_pane(design, this, plain_scroll_bars);
                text_painter_.add_pane(*design.control, *pane);
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
    // Enter in the number and in the hex code presses the button that sends them, as a click
    // would: a disabled button ignores it.
    for (const auto& [field, button] :
         {std::pair(Control::Text3, Control::Command3), std::pair(Control::Text6, Control::Command8)}) {
        connect(static_cast<QLineEdit*>(controls_.at(field)), &QLineEdit::returnPressed,
                static_cast<QPushButton*>(controls_.at(button)), &QPushButton::click);
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

QWidget* Form1::control_widget(Control control) const { return controls_.at(control); }

QPushButton* Form1::keypad_button(int index) const {
    const auto it = keypad_.find(index);
    return it == keypad_.end() ? nullptr : it->second;
}

}  // namespace mirvane::qt
