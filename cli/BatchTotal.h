// The results of all logs of one command, added up.
#pragma once

#include <array>
#include <cstdint>

#include "engine/CheckResults.h"

struct TBatchTotal {
    std::int64_t Logs = 0, WithAnomalies = 0, Clean = 0, NoRmcAccepted = 0, NotChecked = 0;
    std::int64_t SameTime = 0, StepChanged = 0, MovedBack = 0;
    std::array<std::int64_t, kNoteKinds> Notes{};  // by NoteKind
    void Add(const TCheckResults& results);
};
