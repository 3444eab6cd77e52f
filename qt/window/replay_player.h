#pragma once
// mirvane --replay: a capture played into the window, without opening any line. The timing
// is the binding's (a timer stepping through the records, at the captured pace or one record
// a turn at full speed); what each record does is the core's (replay_record).

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <optional>
#include <variant>

#include "program/program.h"
#include "qt/session/session.h"
#include "vocabulary/capture_format.h"

namespace mirvane::qt {

struct ReplayRequest {
    Capture capture;
    bool full_speed = false;
};

// The capture --replay names, read and checked before any window: nothing when --replay is
// not given, or a refusal (exit 2) for a capture that cannot be read. The command line has
// been accepted by prepare_session already.
std::variant<std::optional<ReplayRequest>, Finish> read_replay(const QStringList& arguments);

class ReplayPlayer final : public QObject {
public:
    // Starts on the event loop's first turn.
    ReplayPlayer(Program& program, ReplayRequest request);

private:
    void play_due();

    Program& program_;
    Capture capture_;
    bool full_speed_;
    std::size_t next_ = 0;
    QTimer timer_;
};

}  // namespace mirvane::qt
