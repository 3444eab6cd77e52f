#include "shell/reconnect.h"

#include <utility>

#include "logs/session_records.h"
#include "program/captions.h"
#include "shell/communication.h"

namespace mirvane {

namespace {

constexpr std::u16string_view kReconnect = u"reconnect: ";
constexpr std::u16string_view kWaiting = u" lost; waiting for it to come back";
constexpr std::u16string_view kBack = u" back; terminal communication started again";
constexpr std::u16string_view kBackRefused = u" back but would not start; waiting no more";
constexpr std::u16string_view kOperator = u"the operator's own press ends the wait";

// The session log is the one place a bench engineer reads what happened while they were away.
void record_reconnect(Program& program, std::u16string_view what) {
    record_event(program, std::u16string(kReconnect) + std::u16string(what));
}

std::u16string awaited_text(const Program& program) {
    std::u16string text;
    for (const std::u16string& device : awaited_devices(program)) text += (text.empty() ? u"" : u" and ") + device;
    return text;
}

}  // namespace

void watch_for_device(Program& program, const SerialPort& lost) {
    if (!program.reconnect || program.state.ended) return;
    program.state.watching_for_device = true;
    record_reconnect(program, lost.device_name() + std::u16string(kWaiting));
}

bool watching_for_device(const Program& program) { return program.state.watching_for_device && !program.state.ended; }

std::vector<std::u16string> awaited_devices(const Program& program) {
    std::vector<std::u16string> devices{program.MSComm1.device_name()};
    if (program.monitor_line) devices.push_back(program.MSComm2.device_name());
    return devices;
}

void device_returned(Program& program) {
    if (!watching_for_device(program) || communication_running(program.window)) return;
    program.state.watching_for_device = false;
    Command1_Click(program);
    const bool started = communication_running(program.window);
    record_reconnect(program, awaited_text(program) + std::u16string(started ? kBack : kBackRefused));
}

void stop_watching(Program& program) {
    if (!std::exchange(program.state.watching_for_device, false)) return;
    record_reconnect(program, kOperator);
}

}  // namespace mirvane
