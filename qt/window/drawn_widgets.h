#pragma once
// Controls of the window that Qt has no widget for, drawn by hand.

#include <QPushButton>
#include <QWidget>

namespace mirvane::qt {

// A push button whose caption wraps inside the button, as the narrow start and exit
// buttons need for their six-character captions.
class CaptionButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An outline with curved corners, no fill and no behaviour, behind the controls it groups.
class RoundedFrame final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace mirvane::qt
