// The run state that the check run, RMC decoding and the time checks share.
// A plain record: the window keeps one for the life of the process, the
// command-line checker and each test make their own.
#pragma once

#include <cstdint>
#include <string>

#include "dates/DateTime.h"

// Before the check pass the previous position and speed take values that no
// sentence can have, so that the first sentence never repeats them.
inline constexpr double kNoPreviousPosition = 1000.0;  // outside any latitude or longitude
inline constexpr double kNoPreviousSpeed = -1.0;       // below any speed

struct ScanState {
    // Times are TDateTime days; 0 stands for a time not yet known.
    TDateTime CurTime = 0.0;    // the RMC sentence just decoded
    TDateTime FirstTime = 0.0;  // the first decoded in the check pass
    // The three accepted times before CurTime, newest first: PrevTime -
    // PrevTime2 is the interval before the last one and PrevTime2 -
    // PrevTime3 the one before that, which the interval check compares.
    TDateTime PrevTime = 0.0;
    TDateTime PrevTime2 = 0.0;
    TDateTime PrevTime3 = 0.0;

    double CurLat = 0.0;    // degrees, south negative, NaN when unusable
    double CurLon = 0.0;    // degrees, west negative, NaN when unusable
    double CurSpeed = 0.0;  // the RMC speed field's own number
    double PrevLat = 0.0;   // the values of PrevTime's sentence
    double PrevLon = 0.0;
    double PrevSpeed = 0.0;

    double FlucTime = 0.0;  // interval tolerance, seconds
    bool AlarmSameTime = false;
    bool AlarmStepChange = false;
    bool AlarmMovedBack = false;
    std::int32_t TimeDecimals = 0;
    std::wstring IntervalFormat;

    std::int32_t SameCount = 0;
    std::int32_t StepCount = 0;
    std::int32_t BackCount = 0;

    bool AbortRequested = false;
    bool GloMode = false;            // the receiver announced GLO software: tenths are interpolated
    std::int32_t SentenceCount = 0;  // RMC sentences handled to the end in this pass
    std::string PrevTimeText;        // time text ("hh:mm:ss.fff") of the last of them
    // GLO receivers only: the tenth of a second that the next sentence of the
    // same whole second gets; a change of second restarts it at 0, and it
    // stays at 9 for an eleventh sentence. The run starts it at -1; the
    // pre-scan sets it to 10 minus the sentences before the first change of
    // second, so that the log's first, partial second ends at tenth 9.
    std::int32_t TenthCounter = 0;

    // 1-based number of the line the check pass is on; at its end, the
    // number of lines read.
    std::int64_t LineNumber = 0;

    // True while a run on this state is under way; a second start is ignored.
    bool RunActive = false;
};
