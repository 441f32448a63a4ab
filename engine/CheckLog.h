// A check of one log described in full before it starts, for front ends
// without a window: the request names the log and gives the options, the
// events go to the front end as the run makes them, and the results come
// back at the end, notes included.
#pragma once

#include <optional>
#include <string>

#include "dates/DateConventions.h"
#include "dates/DateTime.h"
#include "engine/CheckEvents.h"
#include "engine/CheckOptions.h"
#include "engine/CheckResults.h"
#include "engine/CheckRun.h"
#include "engine/LogReader.h"

struct TCheckRequest {
    std::wstring LogName;
    TCheckOptions Options;
    DateConventions Conventions;
    int CurrentYear = 0;  // two-digit RMC years are widened around it
    // The day the log is taken to be from, for the notes; no notes without it.
    std::optional<TDateTime> NotesReference;
    // Settled for a log that is still being written, so that its check
    // begins as early as its report allows.
    PrescanEnd Prescan = PrescanEnd::LimitOrLogEnd;
};

// Runs the check through reader, on a state of its own. A yield point of events
// that answers true aborts the check there.
TCheckResults CheckLog(const TCheckRequest& request, TLogReader& reader, ICheckEvents& events);
