// What a check of one log found, as the front ends without a window report
// it: how it ended, the counts, the times it covers and the notes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dates/DateTime.h"
#include "engine/CheckRun.h"
#include "engine/ScanState.h"
#include "engine/TimeNotes.h"

// NoRmcAccepted: the log was read to the end, but no RMC sentence was
// accepted, so nothing was checked.
enum class CheckOutcome { Completed, NoRmcAccepted, Aborted, CannotOpen, ReadError };

struct TCheckResults {
    CheckOutcome Outcome = CheckOutcome::Completed;
    std::wstring Message;  // the failure's text for CannotOpen and ReadError
    std::wstring Status;   // the last status text, as the window would show it
    std::int32_t SameCount = 0;
    std::int32_t StepCount = 0;
    std::int32_t BackCount = 0;
    // The first and the last time the check pass accepted; both 0 when none.
    TDateTime FirstTime = 0.0;
    TDateTime LastTime = 0.0;
    bool GloMode = false;
    std::int64_t Lines = 0;        // lines read by the check pass
    std::int32_t RmcAccepted = 0;  // RMC sentences the check pass accepted
    std::vector<TTimeNote> Notes;
};

// Same-time, step-change and moved-back lines together.
std::int64_t AnomaliesFound(const TCheckResults& results);

// The results of a run on this state; Status and Notes are left to the caller.
TCheckResults ResultsOf(const TRunResult& run, const ScanState& state);
