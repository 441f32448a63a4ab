// The check run: open the log, pre-scan its beginning, take the options from
// the host, check every line, and end with the summary and the covered span.
#pragma once

#include <string_view>

#include "dates/DateConventions.h"
#include "engine/ICheckHost.h"
#include "engine/LogReader.h"
#include "engine/ScanState.h"

inline constexpr int kPrescanLimit = 1000;
inline constexpr int kProgressEvery = 10000;

// The trimmed line from its "$G" marker on (or, when takeProprietary is set
// and it has no "$G", from "$P"); empty when it has none.
std::string_view CandidateSentence(std::string_view line, bool takeProprietary);

// Runs one check of the log named in the host's file-name box. A call made
// while a run on the same state is under way (from inside ProcessMessages)
// is ignored. Read failures of the log escape as TUserError after the log is
// closed and the cursor restored.
void RunCheck(ICheckHost& host, ScanState& state, TLogReader& reader,
              const DateConventions& conventions);
