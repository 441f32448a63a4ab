// A host that records what a check run does and can be scripted, plus an
// in-memory log for the run's reader.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dates/DateConventions.h"
#include "engine/CheckRun.h"
#include "engine/ICheckHost.h"
#include "engine/LogReader.h"
#include "engine/MemorySource.h"
#include "engine/ScanState.h"
#include "engine/UserError.h"

class TRecordingReport : public ICheckEvents {
public:
    void ReportLine(std::wstring_view text) override { Lines.emplace_back(text); }
    std::vector<std::wstring> Lines;
};

// Answers the run as the main window does: the name and the option row from
// its boxes, the corrections written back into them, the status formatted
// from the progress points.
class TFakeHost : public ICheckHost {
public:
    explicit TFakeHost(ScanState& state) : FState(state) {}

    std::map<EditBox, std::wstring> Edits{
        {EditBox::Filename, L"log.nmea"}, {EditBox::FlucTime, L"0.5"}, {EditBox::Tdecimal, L"1"}};
    std::map<AlarmBox, bool> Checks{
        {AlarmBox::SameTime, true}, {AlarmBox::StepChange, true}, {AlarmBox::MovedBack, true}};
    std::vector<std::wstring> Statuses, Report, Messages, DefaultPlaceMessages;
    std::vector<TAnomaly> Anomalies;
    std::vector<TProgress> Progress;
    std::vector<std::int32_t> PrescanCounts;
    int YieldPointCalls = 0;
    // Runs at each yield, with the call's number from 1.
    std::function<void(int)> OnYieldPoint;

    // As a click on the window's box: the run's flag follows at once.
    void SetChecked(AlarmBox which, bool checked) {
        Checks[which] = checked;
        if (which == AlarmBox::StepChange) FState.AlarmStepChange = checked;
        if (which == AlarmBox::SameTime) FState.AlarmSameTime = checked;
        if (which == AlarmBox::MovedBack) FState.AlarmMovedBack = checked;
    }

    std::wstring LogName() override { return Edits.at(EditBox::Filename); }
    TCheckOptions TakeOptions() override {
        const TOptionIntake intake =
            OptionsFromRow({Edits.at(EditBox::FlucTime), Edits.at(EditBox::Tdecimal), Checks.at(AlarmBox::SameTime),
                            Checks.at(AlarmBox::StepChange), Checks.at(AlarmBox::MovedBack)});
        const TOptionCorrections& c = intake.Corrections;
        if (c.FlucTimeText) Edits[EditBox::FlucTime] = *c.FlucTimeText;
        if (c.CheckStepChange) SetChecked(AlarmBox::StepChange, true);
        if (c.TdecimalText) Edits[EditBox::Tdecimal] = *c.TdecimalText;
        return intake.Options;
    }
    void OpenFailed(std::wstring_view text, MessagePlace place) override {
        (place == MessagePlace::Default ? DefaultPlaceMessages : Messages).emplace_back(text);
    }
    void StatusChanged(std::wstring_view text) override { Statuses.emplace_back(text); }
    void PrescanAccepted(std::int32_t count) override { PrescanCounts.push_back(count); }
    void ProgressMade(const TProgress& progress) override {
        Progress.push_back(progress);
        Statuses.push_back(ProgressStatusText(Edits.at(EditBox::Filename), progress));
    }
    void ReportLine(std::wstring_view text) override { Report.emplace_back(text); }
    void AnomalyFound(const TAnomaly& anomaly, std::wstring_view line) override {
        Anomalies.push_back(anomaly);
        Report.emplace_back(line);
    }
    bool YieldPoint() override {
        ++YieldPointCalls;
        if (OnYieldPoint) OnYieldPoint(YieldPointCalls);
        return FState.AbortRequested;
    }

private:
    ScanState& FState;
};

inline DateConventions YearFirstConventions() {
    DateConventions c;
    c.DateOrder = {3, 2, 1};
    c.LocaleDateSeparator = L'/';
    c.DisplayDateFormat = L"yyyy/mm/dd";
    c.UsDateSeparator = L'/';
    return c;
}

// "$" + body + "*" + the body's checksum.
inline std::string Sentence(const std::string& body) {
    unsigned x = 0;
    for (unsigned char c : body) x ^= c;
    const char* hex = "0123456789ABCDEF";
    return "$" + body + "*" + hex[x >> 4] + hex[x & 15];
}

inline std::string Rmc(const std::string& time, const std::string& date = "020120",
                       const std::string& lat = "3540.1234", const std::string& lon = "13945.6789",
                       const std::string& speed = "000.0", const std::string& talker = "GP") {
    return Sentence(talker + "RMC," + time + ",A," + lat + ",N," + lon + ",E," + speed + ",054.7," + date + ",,,A");
}
