#pragma once
// Files and devices as the operator named them. A name reaches the system as the bytes it
// was given: an argument that is not UTF-8 is carried in a QString losslessly (each stray
// byte as a lone low surrogate, U+DC80 to U+DCFF) and turned back into the same bytes. Two
// names are compared by what they name, after links, rather than by their text.

#include <sys/types.h>
#include <QByteArray>
#include <QString>
#include <optional>

namespace mirvane::qt {

// An argument of main() as text, every byte kept.
QString argument_text(const char* argument);
// The bytes argument_text was given; any other text as UTF-8.
QByteArray argument_bytes(const QString& text);

// What a path names: the file it reaches through links, or for a file not made yet, the
// folder that would hold it and the name there.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    dev_t special = 0;  // a character device's number: two nodes of one device are one device
    QByteArray missing_name;

    bool same_as(const FileIdentity& other) const;
};

// No value when neither the path nor its folder can be looked at.
std::optional<FileIdentity> identify(const QByteArray& path);

// Why a file could not be opened for appending (an errno), found without making it; 0 when
// nothing stands in the way that can be seen before the open.
int append_refusal(const QByteArray& path);

// The path a serial device's name opens, as QSerialPort reads it: a bare name is under /dev.
QByteArray device_path(const QString& device);

}  // namespace mirvane::qt
