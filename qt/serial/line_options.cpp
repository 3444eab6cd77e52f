#include "qt/serial/line_options.h"

#include <QByteArray>
#include <QList>
#include <QStringView>

namespace mirvane::qt {

namespace {

std::optional<QSerialPort::Parity> parity_of(QStringView text) {
    if (text.size() != 1) return std::nullopt;
    switch (text.front().toUpper().unicode()) {
        case u'N': return QSerialPort::NoParity;
        case u'E': return QSerialPort::EvenParity;
        case u'O': return QSerialPort::OddParity;
        case u'M': return QSerialPort::MarkParity;
        case u'S': return QSerialPort::SpaceParity;
        default: return std::nullopt;
    }
}

std::optional<QSerialPort::DataBits> data_bits_of(QStringView text) {
    if (text == u"5") return QSerialPort::Data5;
    if (text == u"6") return QSerialPort::Data6;
    if (text == u"7") return QSerialPort::Data7;
    if (text == u"8") return QSerialPort::Data8;
    return std::nullopt;
}

std::optional<QSerialPort::StopBits> stop_bits_of(QStringView text) {
    if (text == u"1") return QSerialPort::OneStop;
    if (text == u"1.5") return QSerialPort::OneAndHalfStop;
    if (text == u"2") return QSerialPort::TwoStop;
    return std::nullopt;
}

}  // namespace

std::optional<LineOptions> parse_line_settings(std::u16string_view settings) {
    const QString text = QString::fromUtf16(settings.data(), static_cast<qsizetype>(settings.size()));
    const QList<QStringView> fields = QStringView(text).split(u',');
    if (fields.size() != 4) return std::nullopt;

    bool number = false;
    const int baud = fields[0].toInt(&number);
    const auto parity = parity_of(fields[1]);
    const auto data_bits = data_bits_of(fields[2]);
    const auto stop_bits = stop_bits_of(fields[3]);
    if (!number || baud <= 0 || !parity || !data_bits || !stop_bits) return std::nullopt;
    return LineOptions{baud, *parity, *data_bits, *stop_bits};
}

QString device_for_port(std::int16_t number) {
    const QByteArray variable = "MIRVANE_PORT" + QByteArray::number(number);
    const QString chosen = qEnvironmentVariable(variable.constData());
    return chosen.isEmpty() ? default_device(number) : chosen;
}

QString default_device(std::int16_t number) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

}  // namespace mirvane::qt
