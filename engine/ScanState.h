// The run state that the check run, RMC decoding and the time checks share.
// A plain record: the window keeps one for the life of the process, the
// command-line checker and each test make their own.
#pragma once

#include <cstdint>
#include <string>

#include "dates/DateTime.h"

struct ScanState {
    TDateTime CurTime = 0.0;
    TDateTime FirstTime = 0.0;
    TDateTime PrevTime = 0.0;
    TDateTime PrevTime2 = 0.0;
    TDateTime PrevTime3 = 0.0;

    double CurLat = 0.0;      // degrees, south negative, NaN when unusable
    double CurLon = 0.0;      // degrees, west negative, NaN when unusable
    double CurSpeed = 0.0;    // the RMC speed field's own number
    double PrevLat = 0.0;
    double PrevLon = 0.0;
    double PrevSpeed = 0.0;

    double FlucTime = 0.0;    // interval tolerance, seconds
    bool AlarmSameTime = false;
    bool AlarmStepChange = false;
    bool AlarmMovedBack = false;
    std::int32_t TimeDecimals = 0;
    std::wstring IntervalFormat;

    std::int32_t SameCount = 0;
    std::int32_t StepCount = 0;
    std::int32_t BackCount = 0;

    bool AbortRequested = false;
    bool GloMode = false;
    std::int32_t SentenceCount = 0;
    std::string PrevTimeText;
    std::int32_t TenthCounter = 0;

    // 1-based number of the line the check pass is on; at its end, the
    // number of lines read.
    std::int64_t LineNumber = 0;

    // True while a run on this state is under way; a second start is ignored.
    bool RunActive = false;
};
