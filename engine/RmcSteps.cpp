#include "engine/RmcSteps.h"

#include <cmath>
#include <limits>

#include "engine/SentenceFields.h"
#include "engine/TimeChecks.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

std::optional<std::int32_t> InterpolatedTenth(std::string_view timeText, ScanPass pass, ScanState& state) {
    const bool timeChanged = !state.PrevTimeText.empty() && state.PrevTimeText != timeText;
    if (pass == ScanPass::Prescan) {
        if (state.TenthCounter < 0 && timeChanged) state.TenthCounter = 10 - state.SentenceCount;
        return std::nullopt;
    }
    if (!state.GloMode) return std::nullopt;
    if (timeChanged) state.TenthCounter = 0;
    if (timeText.find(".000") == std::string_view::npos) return std::nullopt;
    // A counter still negative here (no change of second seen in the
    // pre-scan) would make every whole-second sentence unreadable.
    if (state.TenthCounter < 0) state.TenthCounter = 0;
    return state.TenthCounter % 10;
}

void StoreRmc(TDateTime time, std::string_view timeText, const TRmcFixText& fix, ScanPass pass, ScanState& state,
              const CheckContext& context) {
    if (pass == ScanPass::Check && state.GloMode && state.TenthCounter < 9) ++state.TenthCounter;
    state.CurTime = time;
    state.CurLat = CoordToDegrees(fix.Latitude, fix.NorthSouth);
    state.CurLon = CoordToDegrees(fix.Longitude, fix.EastWest);
    state.CurSpeed = FloatOrNaN(fix.Speed);
    if (state.FirstTime == 0.0) state.FirstTime = state.CurTime;
    if (pass == ScanPass::Check) {
        CheckTimes(state, context);
        context.Events.TimeAccepted(state.CurTime, state.LineNumber);
    }
    ++state.SentenceCount;
    state.PrevTimeText.assign(timeText);
}

double CoordToDegrees(std::string_view number, std::string_view hemisphere) {
    const std::string_view digits = TrimBytes(number);
    if (digits.empty() || hemisphere.empty()) return kNaN;
    const auto value = DecimalTextToDouble(digits);
    if (!value) return kNaN;
    const double hundreds = *value / 100.0;
    if (!(hundreds >= -0x1p63 && hundreds < 0x1p63)) return kNaN;  // beyond a 64-bit truncation
    const double degrees = std::trunc(hundreds);
    const double result = degrees + (hundreds - degrees) / 0.6;
    return hemisphere[0] == 'S' || hemisphere[0] == 'W' ? -result : result;
}
