// The date conventions of a run: the locale's, or the ones --date-pattern and
// --date-separator give, refused when RMC dates could not be read with them.
#pragma once

#include <string>

#include "cli/CliOptions.h"
#include "dates/DateConventions.h"

struct TDateChoice {
    DateConventions Conventions;
    // Why the options cannot be used, naming them; empty when they can.
    std::wstring Error;
};

// Without either option the locale's conventions, taken as they stand. With
// one of them the other comes from the locale (the separator from the
// pattern's first character that is no element letter, as the platform does).
TDateChoice DateConventionsFor(const CliOptions& options);
