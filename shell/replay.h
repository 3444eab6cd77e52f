#pragma once
// A capture played into the window itself, a record at a time: the binding decides when
// each record is due, the core what it does. No line opens; the log then receives exactly
// the entries of the session that made the capture, with the captured times of day.

#include "program/program.h"
#include "vocabulary/capture_format.h"

namespace mirvane {

// A read goes to its line's decoder with the record's time of day; a clear runs the clear
// button's handler; a start or a stop changes the start button's caption alone.
void replay_record(Program& program, const CaptureRecord& record);

}  // namespace mirvane
