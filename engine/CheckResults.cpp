#include "engine/CheckResults.h"

namespace {

CheckOutcome OutcomeOf(RunEnd end, const ScanState& state) {
    switch (end) {
        case RunEnd::Aborted: return CheckOutcome::Aborted;
        case RunEnd::CannotOpen:
        case RunEnd::Ignored: return CheckOutcome::CannotOpen;
        case RunEnd::ReadError: return CheckOutcome::ReadError;
        case RunEnd::Completed: break;
    }
    return state.SentenceCount == 0 ? CheckOutcome::NoRmcAccepted : CheckOutcome::Completed;
}

}  // namespace

std::int64_t AnomaliesFound(const TCheckResults& results) {
    return std::int64_t{results.SameCount} + results.StepCount + results.BackCount;
}

TCheckResults ResultsOf(const TRunResult& run, const ScanState& state) {
    TCheckResults results;
    results.Outcome = OutcomeOf(run.End, state);
    results.Message = run.Message;
    results.SameCount = state.SameCount;
    results.StepCount = state.StepCount;
    results.BackCount = state.BackCount;
    if (state.FirstTime != 0.0) {
        results.FirstTime = state.FirstTime;
        results.LastTime = state.CurTime;
    }
    results.GloMode = state.GloMode;
    results.Lines = state.LineNumber;
    results.RmcAccepted = state.SentenceCount;
    return results;
}
