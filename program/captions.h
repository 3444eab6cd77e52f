#pragma once
// Texts of the window's buttons and labels, set by the start-up, the start and stop, the hook
// and the status decoder. Two captions are state that handlers compare as exact text: the
// caption of Command1 is the only record of whether terminal communication runs, and the
// caption of Command4 the only record of whether the receiver is up.

#include <string_view>

#include "program/window_ops.h"
#include "vocabulary/command_codes.h"

namespace mirvane::caption {

inline constexpr std::u16string_view kStartCommunication = u"端末通信開始";
inline constexpr std::u16string_view kStopCommunication = u"端末通信終了";
inline constexpr std::u16string_view kExit = u"終了";
inline constexpr std::u16string_view kDialNumber = u"番号ダイヤル";
// The hook button names the action its next press performs.
inline constexpr std::u16string_view kLiftReceiver = command_name::kOffHook;
inline constexpr std::u16string_view kPutReceiverDown = command_name::kOnHook;
inline constexpr std::u16string_view kLevelPrefix = u"受信レベル：";
inline constexpr std::u16string_view kToneIdle = u"Tone ：";
inline constexpr std::u16string_view kReceiveHeading = u"RS-232C 受信";
inline constexpr std::u16string_view kLogHeading = u"RS-232C 送受信情報";

}  // namespace mirvane::caption

namespace mirvane {

// Terminal communication runs exactly while Command1 offers to end it.
inline bool communication_running(const WindowOps& window) {
    return window.caption(Control::Command1) == caption::kStopCommunication;
}

}  // namespace mirvane
