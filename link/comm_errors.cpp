#include "link/comm_errors.h"

#include <array>

#include "logs/session_records.h"
#include "program/message_boxes.h"

namespace mirvane {

namespace {

struct CommError {
    std::int16_t event;
    std::u16string_view text;
};

constexpr std::array<CommError, 10> kCommErrors{{
    {1001, u"中断信号を受信"},
    {1002, u"CTSタイムアウト"},
    {1003, u"DSRタイムアウト"},
    {1004, u"フレーム エラー"},
    {1006, u"ポート オーバーラン"},
    {1007, u"CDタイムアウト"},
    {1008, u"受信バッファ オーバーフロー"},
    {1009, u"パリティ エラー"},
    {1010, u"送信バッファがいっぱい"},
    {1011, u"予期しないDCBエラー"},
}};

constexpr std::u16string_view kOtherCommError = u"その他の通信エラー";

}  // namespace

std::u16string_view comm_error_text(std::int16_t event) {
    for (const CommError& error : kCommErrors) {
        if (error.event == event) return error.text;
    }
    return kOtherCommError;
}

bool is_quiet_line_event(std::int16_t event) {
    return event == comm_event::kSend || (event >= comm_event::kCts && event <= comm_event::kEof);
}

void report_comm_error(Program& program, std::int16_t event) {
    record_event(program, u"line error: " + std::u16string(comm_error_text(event)));
    show_critical(program, comm_error_text(event));
}

}  // namespace mirvane
