#include "cli/BatchTotal.h"

void TBatchTotal::Add(const TCheckResults& results) {
    for (const TTimeNote& note : results.Notes) ++Notes[static_cast<std::size_t>(note.Kind)];
    ++Logs;
    if (results.Outcome == CheckOutcome::NoRmcAccepted) ++NoRmcAccepted;
    else if (results.Outcome != CheckOutcome::Completed) ++NotChecked;
    else if (AnomaliesFound(results) > 0) ++WithAnomalies;
    else ++Clean;
    SameTime += results.SameCount;
    StepChanged += results.StepCount;
    MovedBack += results.BackCount;
}
