#pragma once
// The window as designed: every control with its kind, design caption, place in twips,
// font and tab index. Form1 is built from this table and from nothing else.

#include <array>
#include <optional>
#include <string_view>

#include "program/window_ops.h"

namespace mirvane::qt {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 7365;
inline constexpr int kClientHeightTwips = 8310;
inline constexpr std::u16string_view kWindowCaption = u"Mirvane (Ver1.1a)";

// Stand-ins for the Japanese system fonts: proportional Gothic and fixed-pitch Gothic.
inline constexpr std::u16string_view kProportionalFamily = u"IPAPGothic";
inline constexpr std::u16string_view kFixedFamily = u"IPAGothic";
inline constexpr double kWindowPoints = 11.25;

enum class Kind { Button, KeypadButton, LineBox, TextPane, Label, Frame };
enum class Face { Proportional, Fixed };
enum class ScrollBars { None, Vertical, Both };

struct ControlDesign {
    std::string_view name;           // object name
    std::optional<Control> control;  // how the core names it; none for keypad keys and frames
    int index;                       // keypad index 1..12, else 0
    Kind kind;
    std::u16string_view caption;   // caption or initial text at design
    int left, top, width, height;  // twips
    std::optional<Face> face;      // none: the window's font
    double points;
    int tab_index;  // -1 for frames
    ScrollBars scroll_bars;
};

inline constexpr double kButtonPoints = 9.0;

// clang-format off
inline constexpr std::array<ControlDesign, 34> kFormLayout{{
    {"Label1", Control::Label1, 0, Kind::Label, u"受信レベル：", 4680, 240, 1815, 255, Face::Proportional, 9.0, 0, ScrollBars::None},
    {"Label2", Control::Label2, 0, Kind::Label, u"Tone ：", 2280, 240, 1215, 255, Face::Proportional, 9.0, 1, ScrollBars::None},
    {"Label3", Control::Label3, 0, Kind::Label, u"RS-232C 受信", 240, 240, 1455, 255, Face::Proportional, 9.0, 2, ScrollBars::None},
    {"Label4", Control::Label4, 0, Kind::Label, u"RS-232C 送受信情報", 240, 1680, 2175, 375, Face::Proportional, 9.0, 3, ScrollBars::None},
    {"Text1", Control::Text1, 0, Kind::TextPane, u"Text1", 120, 480, 6975, 1095, Face::Fixed, 9.0, 4, ScrollBars::Vertical},
    {"Command1", Control::Command1, 0, Kind::Button, u"端末通信開始", 360, 6120, 855, 735, Face::Proportional, 9.0, 5, ScrollBars::None},
    {"Command2", Control::Command2, 0, Kind::Button, u"終了", 360, 7320, 855, 735, Face::Proportional, 9.0, 6, ScrollBars::None},
    {"Text2", Control::Text2, 0, Kind::TextPane, u"Text2", 120, 1920, 6975, 2655, Face::Fixed, 9.0, 7, ScrollBars::Both},
    {"Text3", Control::Text3, 0, Kind::LineBox, u"", 3720, 6050, 1455, 300, Face::Proportional, 9.75, 8, ScrollBars::None},
    {"Label5", Control::Label5, 0, Kind::Label, u"電話番号", 3840, 5800, 735, 375, Face::Proportional, 9.0, 9, ScrollBars::None},
    {"Command3", Control::Command3, 0, Kind::Button, u"番号ダイヤル", 5400, 5880, 1455, 495, Face::Proportional, 9.0, 10, ScrollBars::None},
    {"Command4", Control::Command4, 0, Kind::Button, u"受話器を上げる", 5400, 6720, 1455, 495, Face::Proportional, 9.0, 11, ScrollBars::None},
    {"Command5", std::nullopt, 1, Kind::KeypadButton, u"1", 1800, 6120, 375, 375, std::nullopt, kWindowPoints, 12, ScrollBars::None},
    {"Command5", std::nullopt, 2, Kind::KeypadButton, u"2", 2280, 6120, 375, 375, std::nullopt, kWindowPoints, 13, ScrollBars::None},
    {"Command5", std::nullopt, 3, Kind::KeypadButton, u"3", 2760, 6120, 375, 375, std::nullopt, kWindowPoints, 14, ScrollBars::None},
    {"Command5", std::nullopt, 4, Kind::KeypadButton, u"4", 1800, 6600, 375, 375, std::nullopt, kWindowPoints, 15, ScrollBars::None},
    {"Command5", std::nullopt, 5, Kind::KeypadButton, u"5", 2280, 6600, 375, 375, std::nullopt, kWindowPoints, 16, ScrollBars::None},
    {"Command5", std::nullopt, 6, Kind::KeypadButton, u"6", 2760, 6600, 375, 375, std::nullopt, kWindowPoints, 17, ScrollBars::None},
    {"Command5", std::nullopt, 7, Kind::KeypadButton, u"7", 1800, 7080, 375, 375, std::nullopt, kWindowPoints, 18, ScrollBars::None},
    {"Command5", std::nullopt, 8, Kind::KeypadButton, u"8", 2280, 7080, 375, 375, std::nullopt, kWindowPoints, 19, ScrollBars::None},
    {"Command5", std::nullopt, 9, Kind::KeypadButton, u"9", 2760, 7080, 375, 375, std::nullopt, kWindowPoints, 20, ScrollBars::None},
    {"Command5", std::nullopt, 10, Kind::KeypadButton, u"0", 2280, 7560, 375, 375, std::nullopt, kWindowPoints, 21, ScrollBars::None},
    {"Command5", std::nullopt, 11, Kind::KeypadButton, u"*", 1800, 7560, 375, 375, std::nullopt, kWindowPoints, 22, ScrollBars::None},
    {"Command5", std::nullopt, 12, Kind::KeypadButton, u"#", 2760, 7560, 375, 375, std::nullopt, kWindowPoints, 23, ScrollBars::None},
    {"Command6", Control::Command6, 0, Kind::Button, u"ダイヤル完了", 3720, 6720, 1335, 495, Face::Proportional, 9.0, 24, ScrollBars::None},
    {"Text4", Control::Text4, 0, Kind::TextPane, u"Text4", 120, 5160, 6975, 495, Face::Proportional, 9.0, 25, ScrollBars::Vertical},
    {"Label6", Control::Label6, 0, Kind::Label, u"Dial データ", 240, 4920, 1215, 375, Face::Proportional, 9.0, 26, ScrollBars::None},
    {"Command7", Control::Command7, 0, Kind::Button, u"情報表示消去", 5040, 4680, 1935, 400, Face::Proportional, 9.0, 27, ScrollBars::None},
    {"Text6", Control::Text6, 0, Kind::LineBox, u"", 3720, 7695, 1335, 300, Face::Proportional, 9.0, 28, ScrollBars::None},
    {"Command8", Control::Command8, 0, Kind::Button, u"HEXコード送信", 5400, 7560, 1455, 495, Face::Proportional, 9.0, 29, ScrollBars::None},
    {"Label7", Control::Label7, 0, Kind::Label, u"HEX Code", 3720, 7485, 1095, 255, Face::Proportional, 9.0, 30, ScrollBars::None},
    {"Shape1", std::nullopt, 0, Kind::Frame, u"", 1560, 6000, 1815, 2055, std::nullopt, 0.0, -1, ScrollBars::None},
    {"Shape4", std::nullopt, 0, Kind::Frame, u"", 3600, 5760, 3495, 735, std::nullopt, 0.0, -1, ScrollBars::None},
    {"Shape3", std::nullopt, 0, Kind::Frame, u"", 3600, 7440, 3495, 735, std::nullopt, 0.0, -1, ScrollBars::None},
}};
// clang-format on

}  // namespace mirvane::qt
