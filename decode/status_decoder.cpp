#include "decode/status_decoder.h"

#include <initializer_list>
#include <string>
#include <string_view>

#include "link/comm_errors.h"
#include "logs/message_log.h"
#include "logs/receive_ring.h"
#include "logs/session_records.h"
#include "program/captions.h"
#include "vocabulary/hex_text.h"
#include "vocabulary/names.h"
#include "vocabulary/status_catalogue.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kPadding[] = {u"", u" __ __ __", u" __ __", u" __", u""};

// Levels are 0..15, written without leading zero.
std::u16string decimal(int value) {
    std::u16string text;
    if (value >= 10) text += static_cast<char16_t>(u'0' + value / 10);
    text += static_cast<char16_t>(u'0' + value % 10);
    return text;
}

// Writes the entry at log_pos: the code and its pattern's tail, and the stamp and the parts
// of its meaning. The slots are written over in place: a ring of entries keeps its storage,
// and a burst of thousands of entries allocates nothing for them.
void write_entry(SharedState& state, std::uint8_t c, std::u16string_view tail, std::u16string_view stamp,
                 std::initializer_list<std::u16string_view> meaning) {
    std::u16string& code = state.log_code[state.log_pos];
    code.assign({hex_digit(c >> 4u), hex_digit(c)});
    code.append(tail);
    std::u16string& text = state.log_text[state.log_pos];
    text.assign(stamp);
    for (const std::u16string_view part : meaning) text.append(part);
}

// What a status code did to the log: nothing, opened an entry that its parameters will
// finish, or wrote a finished entry that is to be drawn now.
enum class Entry : std::uint8_t { none, opened, finished };

Entry decode_status_code(Program& program, std::uint8_t c, std::u16string_view stamp) {
    SharedState& state = program.state;
    const StatusRow* row = find_status_row(c);
    if (row == nullptr) return Entry::none;

    const auto write = [&](std::initializer_list<std::u16string_view> meaning) {
        write_entry(state, c, row->pattern_tail, stamp, meaning);
    };
    switch (row->kind) {
        case StatusKind::OneByte: write({row->meaning}); return Entry::finished;

        case StatusKind::Level: {
            if (c == state.rx_level) return Entry::none;  // an unchanged level is not news
            const std::u16string level = decimal(c - 0xC0);
            write({status_text::kLevelPrefix, level, status_text::kClose});
            program.window.set_caption(Control::Label1, std::u16string(caption::kLevelPrefix) + level);
            state.rx_level = c;
            return Entry::finished;
        }

        case StatusKind::Digit: {
            std::u16string character;
            dial_conv1(character, c);
            write({status_text::kDialPrefix, character, status_text::kClose});
            return Entry::finished;
        }

        case StatusKind::Tone: {
            if (c == 0x20) {
                if (state.tone_kind >= kToneKindOffLogged) return Entry::none;
                write({status_text::kToneKindPrefix, status_text::kToneOff, status_text::kClose});
                program.window.set_caption(Control::Label2, status_text::kToneLabelOff);
                state.tone_kind = kToneKindOffLogged;
                return Entry::finished;
            }
            state.tone_kind = static_cast<std::uint8_t>(c - 0x20);
            std::u16string name;
            tone_ana(name, state.tone_kind);
            const char16_t kind[] = {hex_digit(state.tone_kind), u'\0'};
            write({status_text::kToneKindPrefix, std::u16string_view(kind, 1), u":", name, status_text::kClose});
            program.window.set_caption(Control::Label2,
                                       std::u16string(status_text::kToneLabelPrefix) + std::u16string(kind, 1));
            return Entry::finished;
        }

        case StatusKind::ToneMacro:
            state.tone_kind = kToneKindMacro;
            program.window.set_caption(Control::Label2, status_text::kToneLabelMacro);
            [[fallthrough]];
        case StatusKind::Collected:
            write({row->meaning});
            state.rx_state = row->parameters;
            state.rx_count = 0;
            state.rx_cmd = c;
            return Entry::opened;
    }
    return Entry::none;
}

// The stamp that the opener put in front of its meaning, or nothing.
std::u16string stamp_of(const std::u16string& meaning) {
    if (meaning.empty() || meaning.front() != u'[') return {};
    const auto end = meaning.find(u"] ");
    return end == std::u16string::npos ? std::u16string() : meaning.substr(0, end + 2);
}

// Forgets the message being collected: the next byte is read as a status code.
void end_collection(SharedState& state) {
    state.rx_state = 0;
    state.rx_count = 0;
    state.rx_cmd = 0;
}

// Handles c as a parameter of the message being collected; true when it finished the message.
bool collect_parameter(SharedState& state, std::uint8_t c) {
    const StatusRow* opener = find_status_row(state.rx_cmd);
    if (opener == nullptr || opener->parameters != state.rx_state ||
        (opener->kind != StatusKind::Collected && opener->kind != StatusKind::ToneMacro)) {
        // No opener could have led here; fall back to the ready state rather than
        // collect into a message nobody opened.
        end_collection(state);
        return false;
    }

    std::u16string& code = state.log_code[state.log_pos];
    std::u16string& meaning = state.log_text[state.log_pos];
    state.rx_count = static_cast<std::uint8_t>(state.rx_count + 1);
    code += u' ';
    code += hex_text(c);

    switch (opener->rule) {
        case ParameterRule::None: break;
        case ParameterRule::OnOff:
            // The stamp stays: a finished hands-free entry is dated like every other.
            meaning =
                stamp_of(meaning) + std::u16string(c == 0x00 ? status_text::kHandsFreeOff : status_text::kHandsFreeOn);
            break;
        case ParameterRule::Digits: meaning += hex_digit(c); break;
    }

    if (state.rx_count == state.rx_state) {
        code += kPadding[state.rx_state];
        end_collection(state);
        return true;
    }
    return false;
}

}  // namespace

void reset_status_decoder(SharedState& state) {
    end_collection(state);
    state.tone_kind = 0;
    state.rx_level = 0;
}

void decode_status_bytes(Program& program, std::span<const std::uint8_t> bytes, std::u16string_view time_of_day) {
    SharedState& state = program.state;
    const std::u16string stamp = time_stamp(time_of_day);
    for (const std::uint8_t c : bytes) {
        store_received_byte(state, c);
        bool finished = false;
        if (state.rx_state == 0) {
            finished = decode_status_code(program, c, stamp) == Entry::finished;
        } else {
            finished = collect_parameter(state, c);
        }
        if (finished) disp_Command(program);
        disp_RxData(program);
    }
}

void R_Analize(Program& program) {
    const std::u16string now = program.window.time_of_day();
    const std::vector<std::uint8_t> bytes = program.MSComm1.input();
    record_read(program, Line::terminal, bytes);
    decode_status_bytes(program, bytes, now);
}

void MSComm1_OnComm(Program& program) {
    const std::int16_t event = program.MSComm1.comm_event();
    if (event == comm_event::kReceive) {
        R_Analize(program);
    } else if (!is_quiet_line_event(event)) {
        report_comm_error(program, event);
    }
}

}  // namespace mirvane
