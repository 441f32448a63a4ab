// What RMC decoding and the time checks need besides the run state: the date
// conventions, where report lines go, and the year that two-digit RMC years
// are widened around.
#pragma once

#include "dates/DateConventions.h"
#include "engine/ReportSink.h"

struct CheckContext {
    const DateConventions& Conventions;
    IReportSink& Report;
    int CurrentYear;
};
