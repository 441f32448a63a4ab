// Any bytes as a sentence, in both passes, with and without GLO tenths.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/RmcDecode.h"

namespace {

class TNullReport : public ICheckEvents {};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view sentence(reinterpret_cast<const char*>(data), size);
    DateConventions conventions;
    conventions.DateOrder = {static_cast<std::int32_t>(size % 4), 2, 1};
    conventions.DisplayDateFormat = L"yyyy/mm/dd";
    TNullReport report;
    const CheckContext context{conventions, report, 2025};
    ScanState state;
    state.TenthCounter = -1;
    state.FlucTime = 0.5;
    state.AlarmSameTime = state.AlarmStepChange = state.AlarmMovedBack = true;
    state.TimeDecimals = 3;
    state.IntervalFormat = L"%8.3f";
    for (int round = 0; round < 3; ++round) {
        ProcessSentence(sentence, ScanPass::Prescan, state, context);
        ProcessSentence(sentence, ScanPass::Check, state, context);
        state.GloMode = !state.GloMode;
    }
    return 0;
}
