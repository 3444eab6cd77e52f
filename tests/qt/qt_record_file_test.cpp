// A session file on each kind of file an operator can name: a pipe whose reader goes, a
// FIFO nobody reads or whose reader stops. Whatever the file does, an append returns at once,
// and what fails is told, never the end of the program.

#include <unistd.h>
#include <QTest>

#include "qt/session/qt_record_file.h"

namespace mirvane::qt::testing {

class RecordFileTest : public QObject {
    Q_OBJECT

    static std::unique_ptr<QtRecordFile> opened(const QString& path) {
        auto file = QtRecordFile::open(path, {});
        if (auto* reason = std::get_if<QString>(&file)) qWarning() << path << *reason;
        return std::holds_alternative<QString>(file) ? nullptr : std::move(std::get<0>(file));
    }

private slots:
    // A write or an open that blocks ends the test here, rather than at CTest's limit.
    void initTestCase() { ::alarm(30); }

    // `--log /dev/stdout | head -n 2`: once head has gone, the next line fails, as a full disk
    // fails it, and the program lives on to say so.
    void a_pipe_whose_reader_has_gone_fails_the_next_line() {
        int ends[2];
        QCOMPARE(::pipe(ends), 0);
        const auto file = opened("/proc/self/fd/" + QString::number(ends[1]));
        QVERIFY(file);
        QCOMPARE(file->append(u"read"), std::nullopt);
        ::close(ends[0]), ::close(ends[1]);
        QCOMPARE(file->append(u"not read"), std::u16string(u"Broken pipe"));
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::RecordFileTest)
#include "qt_record_file_test.moc"
