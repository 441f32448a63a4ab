#include "engine/TimeChecks.h"

#include <cmath>
#include <string>

#include "dates/DateTime.h"
#include "dates/FormatFixed.h"

namespace {

constexpr std::wstring_view kStepChanged = L"* UTC step changed :";
constexpr std::wstring_view kMovedBack = L"* UTC moved back   : UTC(RMC)= ";
constexpr std::wstring_view kSameTime = L"* UTC is the same  : UTC(RMC)= ";

std::wstring TimeStamp(TDateTime value, const ScanState& state, const CheckContext& context) {
    return FormatTimeDecimals(value, context.Conventions.DisplayDateFormat + L" hh:mm:ss", state.TimeDecimals);
}

std::wstring TimeSpan(TDateTime days, const ScanState& state) {
    return FormatTimeDecimals(days, L"hh:mm:ss", state.TimeDecimals);
}

TAnomaly AnomalyOf(AnomalyKind kind, const ScanState& state) {
    TAnomaly anomaly;
    anomaly.Kind = kind;
    anomaly.Line = state.LineNumber;
    anomaly.Time = state.PrevTime;
    anomaly.NewTime = state.CurTime;
    anomaly.Lat = state.CurLat;
    anomaly.Lon = state.CurLon;
    anomaly.Speed = state.CurSpeed;
    return anomaly;
}

bool IntervalChanged(const ScanState& state, double newInterval, double prevInterval, double earlierInterval) {
    const double toleranceDays = state.FlucTime / kSecondsPerDay;
    const double change = std::fabs(prevInterval - newInterval);
    return change > toleranceDays && std::fabs(earlierInterval - newInterval) > toleranceDays &&
           state.PrevTime3 != 0.0 && state.FlucTime > 0.0 && change <= kMaxReportedStepDays;
}

void ReportStepChange(ScanState& state, const CheckContext& context) {
    const double newInterval = state.CurTime - state.PrevTime;
    const double prevInterval = state.PrevTime - state.PrevTime2;
    const double earlierInterval = state.PrevTime2 - state.PrevTime3;
    if (!IntervalChanged(state, newInterval, prevInterval, earlierInterval)) return;
    std::wstring line(kStepChanged);
    line += FormatFixed(state.IntervalFormat, prevInterval * kSecondsPerDay);
    line += L" to";
    line += FormatFixed(state.IntervalFormat, newInterval * kSecondsPerDay);
    line += L"Sec.  UTC(RMC)= ";
    line += TimeStamp(state.PrevTime, state, context);
    TAnomaly anomaly = AnomalyOf(AnomalyKind::StepChanged, state);
    anomaly.PrevIntervalSeconds = prevInterval * kSecondsPerDay;
    anomaly.NewIntervalSeconds = newInterval * kSecondsPerDay;
    context.Events.AnomalyFound(anomaly, line);
    ++state.StepCount;
}

void ReportMovedBack(ScanState& state, const CheckContext& context) {
    std::wstring line(kMovedBack);
    line += TimeStamp(state.PrevTime, state, context);
    line += L" to ";
    line += TimeStamp(state.CurTime, state, context);
    const double back = state.PrevTime - state.CurTime;
    if (std::fabs(back) < 1.0) {
        line += L" (-";
        line += TimeSpan(back, state);
        line += L")";
    }
    context.Events.AnomalyFound(AnomalyOf(AnomalyKind::MovedBack, state), line);
    ++state.BackCount;
}

void ReportSameTime(ScanState& state, const CheckContext& context) {
    std::wstring line(kSameTime);
    line += TimeStamp(state.PrevTime, state, context);
    TAnomaly anomaly = AnomalyOf(AnomalyKind::SameTime, state);
    if (state.CurLon == state.PrevLon && state.CurLat == state.PrevLat) {
        anomaly.SamePlace = true;
        anomaly.SameSpeed = state.CurSpeed == state.PrevSpeed;
        line += L" & Same place Lat=";
        line += FormatFixed(L"%10.8f", state.CurLat);
        line += L" Lon=";
        line += FormatFixed(L"%10.8f", state.CurLon);
        if (state.CurSpeed == state.PrevSpeed) {
            line += L" Spd=";
            line += FormatFixed(L"%4.1f", state.CurSpeed);
        }
    }
    context.Events.AnomalyFound(anomaly, line);
    ++state.SameCount;
}

void ShiftHistory(ScanState& state) {
    state.PrevTime3 = state.PrevTime2;
    state.PrevTime2 = state.PrevTime;
    state.PrevTime = state.CurTime;
    state.PrevLon = state.CurLon;
    state.PrevLat = state.CurLat;
    state.PrevSpeed = state.CurSpeed;
}

}  // namespace

void CheckTimes(ScanState& state, const CheckContext& context) {
    if (state.AlarmStepChange) ReportStepChange(state, context);
    if (state.PrevTime > 0.0) {
        if (state.PrevTime > state.CurTime) {
            if (state.AlarmMovedBack) ReportMovedBack(state, context);
        } else if (state.AlarmSameTime && state.CurTime == state.PrevTime) {
            ReportSameTime(state, context);
        }
    }
    ShiftHistory(state);
}
