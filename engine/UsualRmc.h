// The RMC sentences of nearly every log decoded straight from their bytes,
// without the split into 25 fields and the date-time text that the full
// decoding builds and parses again.
#pragma once

#include <string_view>

#include "engine/CheckContext.h"
#include "engine/RmcDecode.h"
#include "engine/ScanState.h"

// For a sentence of an RMC category: when it is accepted and has the usual
// shape (time hhmmss with up to three fraction digits, date ddmmyy, fields 0
// to 9 each ending at a comma, a valid date and time), changes the run state
// exactly as the full decoding would and gives true. Otherwise changes
// nothing and gives false: the full decoding takes the sentence.
bool DecodeUsualRmc(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context);
