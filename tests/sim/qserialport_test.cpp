// Qt's serial port class, which Mirvane's binding uses, on the simulated lines: opened at
// the line's settings, closed and opened again, and what a pseudo-terminal cannot do.

#include <QCoreApplication>
#include <QSerialPort>
#include <gtest/gtest.h>

#include "running_simulator.h"

namespace mirvane::sim::testing {
namespace {

using namespace std::chrono_literals;

// Opens a port as Mirvane configures it: "600,E,8,1", no flow control.
bool open_as_mirvane(QSerialPort& port) {
    port.setBaudRate(600);
    port.setParity(QSerialPort::EvenParity);
    port.setDataBits(QSerialPort::Data8);
    port.setStopBits(QSerialPort::OneStop);
    port.setFlowControl(QSerialPort::NoFlowControl);
    return port.open(QIODevice::ReadWrite);
}

QByteArray read_bytes(QSerialPort& port, int count) {
    QByteArray bytes;
    for (int i = 0; i < 50 && bytes.size() < count; ++i) {
        port.waitForReadyRead(100);
        bytes += port.readAll();
    }
    return bytes;
}

TEST(QtSerialPort, opens_the_simulated_lines_and_holds_a_call_across_a_reopen) {
    RunningSimulator sim;
    for (const char* round : {"lift", "put down"}) {
        SCOPED_TRACE(round);
        QSerialPort terminal(QString::fromStdString(sim.terminal_path()));
        QSerialPort monitor(QString::fromStdString(sim.monitor_path()));
        ASSERT_TRUE(open_as_mirvane(terminal)) << terminal.errorString().toStdString();
        ASSERT_TRUE(open_as_mirvane(monitor)) << monitor.errorString().toStdString();

        const bool lift = std::string(round) == "lift";
        terminal.write(QByteArray::fromHex(lift ? "A7EB" : "A6"));
        ASSERT_TRUE(terminal.waitForBytesWritten(1000));
        EXPECT_EQ(read_bytes(terminal, lift ? 2 : 3).toHex(' '), lift ? "a7 21" : "20 a6 af");
        EXPECT_EQ(read_bytes(monitor, lift ? 2 : 1).toHex(' '), lift ? "a7 eb" : "a6");
        terminal.close();
        monitor.close();
        std::this_thread::sleep_for(100ms);  // the simulator sees the lines go down
    }
}

// A pseudo-terminal has no modem lines: raising DTR, which a real port does on open,
// fails as unsupported. The line works all the same; a binding must not take this for a
// failed open.
TEST(QtSerialPort, raising_dtr_on_a_simulated_line_is_unsupported_and_harmless) {
    RunningSimulator sim;
    QSerialPort terminal(QString::fromStdString(sim.terminal_path()));
    ASSERT_TRUE(open_as_mirvane(terminal));
    EXPECT_FALSE(terminal.setDataTerminalReady(true));
    EXPECT_EQ(terminal.error(), QSerialPort::UnsupportedOperationError);
    terminal.clearError();
    terminal.write(QByteArray::fromHex("86"));
    ASSERT_TRUE(terminal.waitForBytesWritten(1000));
    EXPECT_EQ(read_bytes(terminal, 1).toHex(), "aa");
}

}  // namespace
}  // namespace mirvane::sim::testing

int main(int argc, char** argv) {
    // The port's notifiers need an application object on this thread.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
