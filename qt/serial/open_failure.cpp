#include "qt/serial/open_failure.h"

#include <QFileInfo>
#include <QLockFile>
#include <array>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#endif

namespace mirvane::qt {

namespace {

constexpr std::u16string_view kDeviceMissing = u"装置が見つかりません";
constexpr std::u16string_view kNoPermission =
    u"使用する権限がありません（利用者を dialout グループに加えてから、ログインし直してください）";
constexpr std::u16string_view kLocked = u"ほかのプログラムがロックしています";
constexpr std::u16string_view kLockHolder = u"プロセス番号 ";
constexpr std::u16string_view kDeviceBusy = u"ほかのプログラムが使用中です";
constexpr std::u16string_view kLockNameTooLong =
    u"パスが長すぎて、ロックファイルを作れません（短いパスか、短い名前のシンボリックリンクで指定してください）";
constexpr std::u16string_view kCannotLock = u"ロックファイルを作れません";
constexpr std::u16string_view kOpenFailed = u"開けませんでした";

// QSerialPort's lock folders, in the order it tries them.
constexpr std::array kLockFolders{"/var/lock", "/etc/locks", "/var/spool/locks",  "/var/spool/uucp",
                                  "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};

std::u16string with_detail(std::u16string_view reason, const QString& detail) {
    std::u16string text(reason);
    if (!detail.isEmpty()) text += u"（" + detail.toStdU16String() + u"）";
    return text;
}

}  // namespace

QString lock_file_for(const QString& device) {
    QString name = device.startsWith(u"/dev/") ? device.mid(5) : device;
    name.replace(u'/', u'_');
    name.prepend(u"/LCK..");
    for (const char* folder : kLockFolders) {
        const QFileInfo info(QString::fromLatin1(folder));
        const QString path = info.filePath() + name;
        if (info.isReadable() && (QFileInfo::exists(path) || info.isWritable())) return path;
    }
    return {};
}

std::u16string open_failure_reason(const QString& device, QSerialPort::SerialPortError error,
                                   const QString& system_text) {
    if (error == QSerialPort::DeviceNotFoundError) return std::u16string(kDeviceMissing);
    if (error != QSerialPort::PermissionError) return with_detail(kOpenFailed, system_text);
#ifdef Q_OS_UNIX
    // QSerialPort takes the lock before it looks at the device, so a missing device whose
    // lock cannot be taken comes here too.
    const QByteArray path = device.toLocal8Bit();
    struct stat status {};
    if (::stat(path.constData(), &status) != 0 && errno != EACCES) return std::u16string(kDeviceMissing);
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) return std::u16string(kNoPermission);

    const QString lock = lock_file_for(device);
    if (lock.isEmpty()) return std::u16string(kCannotLock);
    const QFileInfo lock_info(lock);
    const long longest_name = ::pathconf(QFile::encodeName(lock_info.path()).constData(), _PC_NAME_MAX);
    if (longest_name > 0 && QFile::encodeName(lock_info.fileName()).size() > longest_name) {
        return std::u16string(kLockNameTooLong);
    }
    if (lock_info.exists()) {
        qint64 pid = 0;
        if (QLockFile(lock).getLockInfo(&pid, nullptr, nullptr) && pid > 0) {
            return with_detail(kLocked, QString::fromStdU16String(std::u16string(kLockHolder)) + QString::number(pid));
        }
        return std::u16string(kLocked);
    }
#else
    Q_UNUSED(device);
#endif
    return std::u16string(kDeviceBusy);
}

}  // namespace mirvane::qt
