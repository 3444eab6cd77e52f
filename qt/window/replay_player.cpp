#include "qt/window/replay_player.h"

#include <QCommandLineParser>
#include <QFile>
#include <algorithm>
#include <cstdio>

#include "shell/replay.h"

namespace mirvane::qt {

namespace {

// A pause the capture holds longer than this is played as this: nobody watches an hour of nothing.
constexpr std::chrono::milliseconds kLongestPause{3'600'000};

}  // namespace

std::variant<std::optional<ReplayRequest>, Finish> read_replay(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.addOptions({{"replay", {}, "FILE"}, {"full-speed", {}}});
    parser.parse(arguments);  // the other options were checked before
    if (!parser.isSet("replay")) return std::nullopt;
    const QString path = parser.value("replay");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(QStringLiteral("mirvane"), "cannot read the capture " + path + ": " + file.errorString());
    }
    const QByteArray text = file.readAll();
    auto parsed = parse_capture(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                                QFile::encodeName(path).toStdString());
    if (const auto* error = std::get_if<std::string>(&parsed))
        return refuse(QStringLiteral("mirvane"), QString::fromStdString(*error));
    Capture& capture = std::get<Capture>(parsed);
    for (const std::string& warning : capture.warnings) std::fprintf(stderr, "mirvane: %s\n", warning.c_str());
    return ReplayRequest{std::move(capture), parser.isSet("full-speed")};
}

ReplayPlayer::ReplayPlayer(Program& program, ReplayRequest request)
    : program_(program), capture_(std::move(request.capture)), full_speed_(request.full_speed) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ReplayPlayer::play_due);
    timer_.start(0);
}

// One record a turn, so that the window draws and stays answerable between them; then the
// next after the captured pause, or at once at full speed.
void ReplayPlayer::play_due() {
    if (next_ == capture_.records.size() || program_.state.ended) return;
    const CaptureRecord& record = capture_.records[next_++];
    replay_record(program_, record);
    if (next_ == capture_.records.size()) {
        std::fprintf(stderr, "mirvane: the capture has been played (%zu records)\n", capture_.records.size());
        return;
    }
    const auto pause = std::clamp(capture_.records[next_].at - record.at, std::chrono::milliseconds(0), kLongestPause);
    timer_.start(full_speed_ ? std::chrono::milliseconds(0) : pause);
}

}  // namespace mirvane::qt
