// What RMC decoding and the time checks need besides the run state: the date
// conventions, where the report and the times go, and the year that two-digit
// RMC years are widened around.
#pragma once

#include "dates/DateConventions.h"
#include "engine/CheckEvents.h"

struct CheckContext {
    const DateConventions& Conventions;
    ICheckEvents& Events;
    int CurrentYear;
};
