#include "qt/serial/qt_serial_port.h"

#include <QByteArray>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "qt/serial/open_failure.h"
#include "qt/serial/terminal_driver.h"

namespace mirvane::qt {

namespace {

constexpr std::u16string_view kDeviceGone = u"装置が応答しません（取り外されたか、相手側が閉じられました）";
constexpr std::u16string_view kDeviceGoneGloss = u"the device does not answer (removed, or its far side closed)";

std::u16string to_u16(const QString& text) { return text.toStdU16String(); }

bool is_device_failure(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::ResourceError:
        case QSerialPort::DeviceNotFoundError: return true;
        default: return false;
    }
}

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
    port_.setFlowControl(QSerialPort::NoFlowControl);
    connect(&port_, &QSerialPort::readyRead, this, [this] { receive_turn_.request(); });
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::on_error);
}

QtSerialPort::~QtSerialPort() {
    // Released with the program; nobody is left to hear about it.
    on_comm = nullptr;
    on_lost = nullptr;
    close();
}

void QtSerialPort::set_comm_port(std::int16_t number) {
    device_ = chosen_device_ ? *chosen_device_ : device_for_port(number);
}

void QtSerialPort::set_settings(std::u16string_view settings) {
    if (const auto options = parse_line_settings(settings)) {
        options_ = *options;
    } else {
        std::fprintf(stderr, "mirvane: settings \"%s\" not understood; keeping the previous\n",
                     QString::fromStdU16String(std::u16string(settings)).toLocal8Bit().constData());
    }
}

void QtSerialPort::set_rthreshold(std::int16_t bytes) { rthreshold_ = bytes; }

// No send events are ever raised, so the send threshold has nothing to switch.
void QtSerialPort::set_sthreshold(std::int16_t) {}

// Input is always raw bytes; a text mode has no reader here.
void QtSerialPort::set_input_mode(std::int16_t) {}

std::u16string QtSerialPort::device_name() const { return to_u16(device_); }

std::optional<OpenFailure> QtSerialPort::open() {
    if (port_.isOpen()) return std::nullopt;
    port_.setPortName(device_);
    // Everything before open(): a pseudo-terminal refuses a parity change once it is open.
    port_.setBaudRate(options_.baud_rate);
    port_.setParity(options_.parity);
    port_.setDataBits(options_.data_bits);
    port_.setStopBits(options_.stop_bits);
    port_.setFlowControl(QSerialPort::NoFlowControl);

    quiet_ = true;
    const bool opened = port_.open(QIODevice::ReadWrite);
    if (!opened) {
        quiet_ = false;
        const QSerialPort::SerialPortError error = port_.error();
        const QString system_text = port_.errorString();
        port_.clearError();
        return open_failure_reason(device_, error, system_text);
    }
    // A pseudo-terminal has no modem lines; refusing them is no reason to give up the line.
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(false);
    port_.clearError();
    // Every setting QSerialPort makes is in place by now; the marking goes on top of them.
    const std::optional<long long> unmarked = mark_bytes_in_error(port_.handle());
    marking_ = unmarked.has_value();
    unmarked_ahead_ = unmarked.value_or(0);
    if (!marking_) {
        std::fprintf(stderr, "mirvane: %s: bytes received in error cannot be marked; they arrive as received\n",
                     device_.toLocal8Bit().constData());
    }
    marks_.reset();
    quiet_ = false;
    loss_reported_ = false;
    ++openings_;
    line_watch_.start();
    if (port_.bytesAvailable() > 0) receive_turn_.request();
    return std::nullopt;
}

void QtSerialPort::close() {
    // Closing a closed QSerialPort raises an error of its own; the loss road must not
    // come back here through it.
    if (!port_.isOpen()) return;
    release();
    line_watch_.stop();
    quiet_ = true;
    port_.close();
    port_.clearError();
    quiet_ = false;
}

bool QtSerialPort::is_open() const { return port_.isOpen(); }

void QtSerialPort::output(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) {
        ++writes_while_closed_;
        std::fprintf(stderr, "mirvane: %s is closed; %zu byte(s) not sent\n", device_.toLocal8Bit().constData(),
                     bytes.size());
        return;
    }
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

int QtSerialPort::out_buffer_count() const {
    if (!port_.isOpen()) return 0;
    return static_cast<int>(port_.bytesToWrite()) + driver_output_queue(port_.handle());
}

std::vector<std::uint8_t> QtSerialPort::input() {
    if (!port_.isOpen()) return {};
    const QByteArray data = port_.readAll();
    // An error that came with these bytes is counted by now; asking here reports it at
    // once instead of at the next poll.
    line_watch_.read();
    const std::span read(reinterpret_cast<const std::uint8_t*>(data.constData()),
                         static_cast<std::size_t>(data.size()));
    if (!marking_) return {read.begin(), read.end()};
    // What waited on the line before the marking went on comes first, as it is.
    const auto plain = static_cast<std::size_t>(std::min<long long>(unmarked_ahead_, std::ssize(read)));
    unmarked_ahead_ -= static_cast<long long>(plain);
    if (plain == 0) return marks_.unmark(read);
    std::vector<std::uint8_t> bytes(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(plain));
    const std::vector<std::uint8_t> rest = marks_.unmark(read.subspan(plain));
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

std::int16_t QtSerialPort::comm_event() const { return event_; }

void QtSerialPort::on_error(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || quiet_ || !port_.isOpen()) return;
    if (!is_device_failure(error)) {
        std::fprintf(stderr, "mirvane: %s: %s\n", device_.toLocal8Bit().constData(),
                     port_.errorString().toLocal8Bit().constData());
        return;
    }
    // A dead device stays readable and fails every read, round after round of the event
    // loop. Report once, from the next turn: closing the port inside QSerialPort's own
    // notification is not safe.
    if (loss_reported_) return;
    loss_reported_ = true;
    QTimer::singleShot(0, this, [this, opening = openings_] { report_loss(opening); });
}

void QtSerialPort::report_loss(unsigned long long opening) {
    // Closed meanwhile, or opened again on a device that works: nothing left to report.
    if (!port_.isOpen() || opening != openings_) return;
    if (on_lost) on_lost(kDeviceGone, kDeviceGoneGloss);
    close();
}

void QtSerialPort::deliver_receive() {
    // A receive handler that runs events gets no second receive event inside itself; what
    // arrives meanwhile is announced when it returns. A line event's handler (a box) does
    // get them: the bytes of its own line must not wait for the operator.
    if (receiving_ || !port_.isOpen() || rthreshold_ <= 0) return;
    if (port_.bytesAvailable() == 0) return;
    if (hold_ && trickling() && hold_()) return hold();
    since_delivery_.start();
    receiving_ = true;
    raise_event(comm_event::kReceive);
    receiving_ = false;
    // QSerialPort does not announce again what it buffered while the handler ran.
    if (port_.isOpen() && port_.bytesAvailable() > 0) receive_turn_.request();
}

bool QtSerialPort::trickling() const {
    // A few bytes, a while after the last: a line this slow fills no driver's buffer in a
    // frame. A burst is read as fast as it comes, never left to fill the buffer and stall
    // the far side until the paint.
    constexpr qint64 kFewBytes = 32;
    return port_.bytesAvailable() <= kFewBytes && (!since_delivery_.isValid() || since_delivery_.elapsed() >= 1);
}

void QtSerialPort::hold() {
    waiting_ = true;
    // QSerialPort reads the line whenever its notifier says there is something, and
    // announces every read; with the notifier off, bytes gather in the driver instead.
    // QSerialPort turns it on again whenever it is read from.
    if (held_ == nullptr) {
        for (QSocketNotifier* notifier : port_.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly)) {
            if (notifier->type() == QSocketNotifier::Read) {
                held_ = notifier;
                break;
            }
        }
    }
    if (held_ != nullptr) held_->setEnabled(false);
}

void QtSerialPort::release() {
    if (held_ != nullptr) held_->setEnabled(true);
    held_ = nullptr;
    waiting_ = false;
}

void QtSerialPort::take_waiting() {
    const bool waited = waiting_;
    release();
    if (!port_.isOpen()) return;
    // What gathered in the driver is read now, for the paint that follows. Asked only when
    // the driver has something: with nothing, the wait would end in a time-out that
    // QSerialPort reports as an error.
    if (waited && driver_input_queue(port_.handle()) > 0) port_.waitForReadyRead(0);
    const std::function<bool()> hold = std::exchange(hold_, nullptr);
    deliver_receive();
    hold_ = hold;
}

void QtSerialPort::set_line_state_reader(std::shared_ptr<LineStateReader> reader) {
    line_watch_.set_reader(std::move(reader));
}

void QtSerialPort::set_line_poll_interval(std::chrono::milliseconds interval) {
    line_watch_.set_poll_interval(interval);
}

void QtSerialPort::raise_event(std::int16_t event) {
    // A handler that reads its event number after a nested event has run reads its own.
    const std::int16_t outer = event_;
    event_ = event;
    if (on_comm) on_comm();
    event_ = outer;
}

}  // namespace mirvane::qt
