// A host that records what a check run does and can be scripted, plus an
// in-memory log for the run's reader.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dates/DateConventions.h"
#include "engine/ICheckHost.h"
#include "engine/LogReader.h"
#include "engine/MemorySource.h"
#include "engine/ScanState.h"
#include "engine/UserError.h"

class TRecordingReport : public IReportSink {
public:
    void AppendReport(std::wstring_view text) override { Lines.emplace_back(text); }
    std::vector<std::wstring> Lines;
};

class TFakeHost : public ICheckHost {
public:
    explicit TFakeHost(ScanState& state) : FState(state) {}

    std::map<EditBox, std::wstring> Edits{{EditBox::Filename, L"log.nmea"},
                                          {EditBox::FlucTime, L"0.5"},
                                          {EditBox::Tdecimal, L"1"}};
    std::map<AlarmBox, bool> Checks{{AlarmBox::SameTime, true},
                                    {AlarmBox::StepChange, true},
                                    {AlarmBox::MovedBack, true}};
    std::vector<std::wstring> Statuses, Report, Messages, DefaultPlaceMessages;
    std::vector<bool> Cursor;
    int ProcessCalls = 0;
    // Runs at each ProcessMessages call, with the call's number from 1.
    std::function<void(int)> OnProcessMessages;

    std::wstring EditText(EditBox which) const override { return Edits.at(which); }
    void SetEditText(EditBox which, std::wstring_view text) override { Edits[which] = text; }
    bool IsChecked(AlarmBox which) const override { return Checks.at(which); }
    void SetChecked(AlarmBox which, bool checked) override {
        Checks[which] = checked;
        if (which == AlarmBox::StepChange) FState.AlarmStepChange = checked;
        if (which == AlarmBox::SameTime) FState.AlarmSameTime = checked;
        if (which == AlarmBox::MovedBack) FState.AlarmMovedBack = checked;
    }
    void SetStatus(std::wstring_view text) override { Statuses.emplace_back(text); }
    void ClearReport() override { Report.clear(); }
    void AppendReport(std::wstring_view text) override { Report.emplace_back(text); }
    void SetWaitCursor(bool wait) override { Cursor.push_back(wait); }
    void ProcessMessages() override {
        ++ProcessCalls;
        if (OnProcessMessages) OnProcessMessages(ProcessCalls);
    }
    void ShowMessage(std::wstring_view text, MessagePlace place) override {
        (place == MessagePlace::Default ? DefaultPlaceMessages : Messages).emplace_back(text);
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
    return Sentence(talker + "RMC," + time + ",A," + lat + ",N," + lon + ",E," + speed +
                    ",054.7," + date + ",,,A");
}
