#include "cli/PrescanWait.h"

#include "engine/CheckRun.h"

namespace {

// Plain lines: one at the start of the wait and then one per this many sentences.
constexpr std::int32_t kPlainLineEvery = 100;

}  // namespace

std::wstring PrescanWaitText(std::int32_t count) {
    return L"waiting for " + std::to_wstring(kPrescanLimit) + L" RMC sentences before checking: " +
           std::to_wstring(count) + L" so far";
}

void TPrescanWait::Counted(std::int32_t count) {
    FCount = count;
    if (FOver || !FWaited) return;
    // The last of them starts the check at once.
    if (FDisplay.InPlace || (count % kPlainLineEvery == 0 && count < kPrescanLimit)) Show();
}

void TPrescanWait::Waiting() {
    if (FOver) return;
    if (!FWaited || (FDisplay.InPlace && !FDrawn)) Show();
    FWaited = true;
}

void TPrescanWait::BeforeReportLine() {
    if (!FDrawn) return;
    FDisplay.Clear();
    FDrawn = false;
}

void TPrescanWait::CheckStarted() {
    if (FOver) return;
    BeforeReportLine();
    FOver = true;
}

void TPrescanWait::Show() {
    FDisplay.Show(PrescanWaitText(FCount));
    FDrawn = FDisplay.InPlace;
}
