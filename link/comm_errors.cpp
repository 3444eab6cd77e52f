#include "link/comm_errors.h"

#include <array>

#include "logs/session_records.h"
#include "program/message_boxes.h"

namespace mirvane {

namespace {

struct CommError {
    std::int16_t event;
    std::u16string_view text;
    std::u16string_view gloss;
};

constexpr std::array<CommError, 10> kCommErrors{{
    {1001, u"中断信号を受信", u"break received"},
    {1002, u"CTSタイムアウト", u"CTS timeout"},
    {1003, u"DSRタイムアウト", u"DSR timeout"},
    {1004, u"フレーム エラー", u"framing error"},
    {1006, u"ポート オーバーラン", u"port overrun"},
    {1007, u"CDタイムアウト", u"CD timeout"},
    {1008, u"受信バッファ オーバーフロー", u"receive buffer overflow"},
    {1009, u"パリティ エラー", u"parity error"},
    {1010, u"送信バッファがいっぱい", u"send buffer full"},
    {1011, u"予期しないDCBエラー", u"unexpected DCB error"},
}};

constexpr std::u16string_view kOtherCommError = u"その他の通信エラー";
constexpr std::u16string_view kOtherCommErrorGloss = u"other communication error";

}  // namespace

std::u16string_view comm_error_text(std::int16_t event) {
    for (const CommError& error : kCommErrors) {
        if (error.event == event) return error.text;
    }
    return kOtherCommError;
}

std::u16string_view comm_error_gloss(std::int16_t event) {
    for (const CommError& error : kCommErrors) {
        if (error.event == event) return error.gloss;
    }
    return kOtherCommErrorGloss;
}

bool is_quiet_line_event(std::int16_t event) {
    return event == comm_event::kSend || (event >= comm_event::kCts && event <= comm_event::kEof);
}

void report_comm_error(Program& program, std::int16_t event) {
    record_event(program, u"line error: " + std::u16string(comm_error_text(event)));
    show_critical(program, comm_error_text(event), comm_error_gloss(event));
}

}  // namespace mirvane
