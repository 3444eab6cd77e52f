#pragma once
// One serial line on QSerialPort. It translates: settings to QSerialPort's, waiting bytes
// to receive events, what the driver counts (line errors, modem line changes) to line
// events, a device that stops answering to one report of a lost line. What an event or a
// loss means is the core's business, reached through the two callbacks.
//
// A byte received in error reaches the decoder as "?": the driver is asked to mark such
// bytes, and the marks are taken out as the input is read. Which error it was, the driver's
// counters tell as an event of its own (a parity error, a framing error, a break, whose
// mark also arrives as "?").

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

#include "link/marked_input.h"
#include "program/serial_port.h"
#include "qt/serial/line_options.h"
#include "qt/serial/line_state_reader.h"
#include "qt/serial/line_watch.h"
#include "qt/serial/next_turn.h"

namespace mirvane::qt {

class QtSerialPort final : public QObject, public SerialPort {
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    // Raised on the event thread with comm_event() set. A receive event is never raised
    // inside the handling of another receive event of the same port. Everything else may
    // come inside a handler that runs events (a message box does): receive events inside
    // a line event's handler, so that no box holds back the bytes of its own line, and
    // further line events inside it, for the core to queue behind the box.
    std::function<void()> on_comm;
    // Raised once per open when the device stops answering. The handler is expected to
    // close the line; if it leaves it open, the port closes it itself afterwards.
    std::function<void(std::u16string_view reason, std::u16string_view gloss)> on_lost;

    // The device this port opens whatever number it is given; unchosen, the number names
    // it (device_for_port).
    void choose_device(const QString& device) { chosen_device_ = device; }

    void set_comm_port(std::int16_t number) override;
    void set_settings(std::u16string_view settings) override;
    void set_rthreshold(std::int16_t bytes) override;
    void set_sthreshold(std::int16_t bytes) override;
    void set_input_mode(std::int16_t mode) override;
    std::u16string device_name() const override;

    std::optional<OpenFailure> open() override;
    void close() override;
    bool is_open() const override;

    void output(std::span<const std::uint8_t> bytes) override;
    int out_buffer_count() const override;
    std::vector<std::uint8_t> input() override;
    std::int16_t comm_event() const override;

    // Asked when a few bytes have come in a while after the last: while it says yes, they
    // and those that follow are left on the line, with no wake-up of the program for each,
    // until take_waiting(). The window says yes while a paint it has set for later is coming
    // anyway, so that a stream faster than the paints is read once a paint instead of once
    // a byte.
    void hold_reads_while(std::function<bool()> hold) { hold_ = std::move(hold); }
    // Reads what is waiting on the line, held or not, and raises its receive event now.
    void take_waiting();
    bool holding() const { return waiting_; }

    // Bytes handed over while the port was closed: refused, counted and told on stderr.
    long long writes_while_closed() const { return writes_while_closed_; }

    // How the line's errors and modem lines are watched in this opening (LineWatch).
    LineWatch::Source line_watch() const { return line_watch_.source(); }

    // Where the line's state is read from; the machine's driver unless replaced. Taken
    // into use at the next open.
    void set_line_state_reader(std::shared_ptr<LineStateReader> reader);
    // How often the driver is asked while the line is quiet; it is also asked after every
    // read.
    void set_line_poll_interval(std::chrono::milliseconds interval);

private:
    void on_error(QSerialPort::SerialPortError error);
    void deliver_receive();
    bool trickling() const;
    void hold();
    void release();
    void report_loss(unsigned long long opening);
    void raise_event(std::int16_t event);

    QSerialPort port_;
    QString device_;
    std::optional<QString> chosen_device_;
    LineOptions options_;
    std::int16_t rthreshold_ = 1;
    std::int16_t event_ = 0;

    NextTurn receive_turn_{*this, [this] { deliver_receive(); }};
    std::function<bool()> hold_;
    bool waiting_ = false;            // bytes are held for take_waiting()
    QElapsedTimer since_delivery_;    // the last receive event
    QPointer<QSocketNotifier> held_;  // QSerialPort's, turned off while they wait
    bool receiving_ = false;
    bool quiet_ = false;  // opening or closing: errors of DTR/RTS and of teardown are expected
    bool loss_reported_ = false;
    unsigned long long openings_ = 0;  // a loss belongs to the opening it was seen in
    long long writes_while_closed_ = 0;
    bool marking_ = false;          // the driver marks bytes received in error in this opening
    long long unmarked_ahead_ = 0;  // bytes to read that the driver took in before marking
    MarkedInput marks_;

    LineWatch line_watch_{port_, [this](std::int16_t event) { raise_event(event); }};
};

}  // namespace mirvane::qt
