// A session file on each kind of file an operator can name: a pipe whose reader goes, a
// FIFO nobody reads or whose reader stops. Whatever the file does, an append returns at once,
// and what fails is told, never the end of the program.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QTemporaryDir>
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

    // Whatever the reader can take now, after what it took before.
    static void take(int reader, QByteArray& taken) {
        char buffer[65536];
        for (ssize_t got; (got = ::read(reader, buffer, sizeof buffer)) > 0;) taken.append(buffer, got);
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

    // A FIFO nobody reads is refused at once. A reader that stops leaves the lines waiting
    // while every append returns, and gets them whole and in order once it reads again; past
    // 8 MB waiting the file gives up and names the lines lost. A reader that goes while lines
    // wait is learnt later and told through the hook.
    void a_fifo_is_never_waited_for_and_its_lines_wait_up_to_8_mb() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const auto unread = QtRecordFile::open(fifo, {});
        QCOMPARE(std::get_if<QString>(&unread) ? *std::get_if<QString>(&unread) : "opened",
                 "no program reads this FIFO; start its reader first");

        int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        auto file = opened(fifo);
        QVERIFY(file);
        const std::u16string line(1000, u'x');
        for (int i = 0; i < 200; ++i) QCOMPARE(file->append(line), std::nullopt);  // the pipe holds 64 KB
        QByteArray taken;
        QVERIFY(QTest::qWaitFor([&] { return take(reader, taken), taken.size() >= 200 * 1025; }));
        QCOMPARE(taken.size(), 200 * 1025);
        QCOMPARE(taken.count(QByteArray(1000, 'x') + '\n'), 200);

        int appended = 0;
        std::optional<std::u16string> failure;
        while (!failure && appended < 20000) failure = file->append(line), ++appended;
        QVERIFY(appended > 8192);
        taken.clear(), take(reader, taken);
        QCOMPARE(failure.value_or(u"taken"),
                 QStringLiteral("読み手が読まないまま 8 MB がたまったため、書き込めなかった %1 行を捨てました")
                     .arg(appended - taken.count('\n'))
                     .toStdU16String());
        ::close(reader);

        reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
        const auto late = opened(fifo);
        std::u16string told;
        late->failed_later = [&](std::u16string_view reason) { told = reason; };
        for (int i = 0; i < 100; ++i) QCOMPARE(late->append(line), std::nullopt);
        ::close(reader);
        QTRY_COMPARE(told, u"Broken pipe");
        QCOMPARE(late->append(line), told);
    }
};

}  // namespace mirvane::qt::testing

QTEST_MAIN(mirvane::qt::testing::RecordFileTest)
#include "qt_record_file_test.moc"
