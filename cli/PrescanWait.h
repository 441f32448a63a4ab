// While the pre-scan of a followed log waits for sentences, standard error
// says why the report has not begun and how far the pre-scan is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// "waiting for 1000 RMC sentences before checking: 312 so far"
std::wstring PrescanWaitText(std::int32_t count);

// Nothing is shown until the log runs dry during the pre-scan (a log read
// whole at once never waits). On a terminal the line is then redrawn at each
// sentence, taken away for a report line and when the check starts;
// elsewhere a line comes when the waiting begins and one every 100 sentences.
class TPrescanWait {
public:
    struct TDisplay {
        std::function<void(std::wstring_view)> Show;  // draws the line, or writes it
        std::function<void()> Clear;                  // takes a drawn line away
        bool InPlace = false;                         // lines are drawn over each other
    };
    explicit TPrescanWait(TDisplay display) : FDisplay(std::move(display)) {}

    // The pre-scan has accepted count RMC sentences.
    void Counted(std::int32_t count);
    // The log has no more bytes for now.
    void Waiting();
    // A report line is about to go out.
    void BeforeReportLine();
    // The pre-scan is over; nothing more is shown.
    void CheckStarted();

private:
    void Show();

    TDisplay FDisplay;
    std::int32_t FCount = 0;
    bool FWaited = false;  // the log ran dry in the pre-scan
    bool FDrawn = false;   // a line stands drawn in place
    bool FOver = false;
};
