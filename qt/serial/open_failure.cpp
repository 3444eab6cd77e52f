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

// Each reason in the operator's language, and in English for standard error.
constexpr std::array<std::u16string_view, 2> kDeviceMissing{u"装置が見つかりません", u"device not found"};
constexpr std::array<std::u16string_view, 2> kNoPermission{
    u"使用する権限がありません（利用者を dialout グループに加えてから、ログインし直してください）",
    u"no permission to use it (add the user to the dialout group, then log in again)"};
constexpr std::array<std::u16string_view, 2> kLocked{u"ほかのプログラムがロックしています",
                                                     u"another program holds its lock"};
constexpr std::array<std::u16string_view, 2> kLockHolder{u"プロセス番号 ", u"process "};
constexpr std::array<std::u16string_view, 2> kDeviceBusy{u"ほかのプログラムが使用中です",
                                                         u"another program is using it"};
constexpr std::array<std::u16string_view, 2> kLockNameTooLong{
    u"パスが長すぎて、ロックファイルを作れません（短いパスか、短い名前のシンボリックリンクで指定してください）",
    u"the path is too long for a lock file (name it by a shorter path or a symbolic link with a short name)"};
constexpr std::array<std::u16string_view, 2> kCannotLock{u"ロックファイルを作れません", u"no lock file can be made"};
constexpr std::array<std::u16string_view, 2> kOpenFailed{u"開けませんでした", u"the open failed"};

// QSerialPort's lock folders, in the order it tries them.
constexpr std::array kLockFolders{"/var/lock", "/etc/locks", "/var/spool/locks",  "/var/spool/uucp",
                                  "/tmp",      "/var/tmp",   "/var/lock/lockdev", "/run/lock"};

OpenFailure told(const std::array<std::u16string_view, 2>& reason) {
    return {std::u16string(reason[0]), std::u16string(reason[1])};
}

// The system's detail is the same in both; a detail of our own has its English.
OpenFailure with_detail(const std::array<std::u16string_view, 2>& reason, const QString& detail,
                        const QString& gloss_detail) {
    OpenFailure failure = told(reason);
    if (detail.isEmpty()) return failure;
    failure.reason += u"（" + detail.toStdU16String() + u"）";
    failure.gloss += u" (" + gloss_detail.toStdU16String() + u")";
    return failure;
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

OpenFailure open_failure_reason(const QString& device, QSerialPort::SerialPortError error, const QString& system_text) {
    if (error == QSerialPort::DeviceNotFoundError) return told(kDeviceMissing);
    if (error != QSerialPort::PermissionError) return with_detail(kOpenFailed, system_text, system_text);
#ifdef Q_OS_UNIX
    // QSerialPort takes the lock before it looks at the device, so a missing device whose
    // lock cannot be taken comes here too.
    const QByteArray path = device.toLocal8Bit();
    struct stat status {};
    if (::stat(path.constData(), &status) != 0 && errno != EACCES) return told(kDeviceMissing);
    if (::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES) return told(kNoPermission);

    const QString lock = lock_file_for(device);
    if (lock.isEmpty()) return told(kCannotLock);
    const QFileInfo lock_info(lock);
    const long longest_name = ::pathconf(QFile::encodeName(lock_info.path()).constData(), _PC_NAME_MAX);
    if (longest_name > 0 && QFile::encodeName(lock_info.fileName()).size() > longest_name) {
        return told(kLockNameTooLong);
    }
    if (lock_info.exists()) {
        qint64 pid = 0;
        if (QLockFile(lock).getLockInfo(&pid, nullptr, nullptr) && pid > 0) {
            const auto holder = [pid](std::u16string_view words) {
                return QString::fromStdU16String(std::u16string(words)) + QString::number(pid);
            };
            return with_detail(kLocked, holder(kLockHolder[0]), holder(kLockHolder[1]));
        }
        return told(kLocked);
    }
#else
    Q_UNUSED(device);
#endif
    return told(kDeviceBusy);
}

}  // namespace mirvane::qt
