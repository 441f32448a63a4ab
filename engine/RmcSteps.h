// The steps that the full RMC decoding and the direct one of the usual shapes
// share, so that both change the run state alike; neither decoder calls the
// other's code for them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "dates/DateTime.h"
#include "engine/CheckContext.h"
#include "engine/RmcDecode.h"
#include "engine/ScanState.h"

// Fields 3 to 7 of an RMC sentence: the place and the speed.
struct TRmcFixText {
    std::string_view Latitude, NorthSouth, Longitude, EastWest, Speed;
};

// The status field of a fix that counts.
inline constexpr std::string_view kRmcValid = "A";

// "4807.038","N" -> 48.1173; NaN when either field is unusable.
double CoordToDegrees(std::string_view number, std::string_view hemisphere);

// Moves the GLO tenth counter's phase on as the pass requires, for a sentence
// with this time text ("hh:mm:ss.fff..."). Gives the tenth (0 to 9) that
// replaces the text's ".000" for the parse, or nullopt to parse the text as it
// is. The counter itself grows in StoreRmc, after a good parse.
std::optional<std::int32_t> InterpolatedTenth(std::string_view timeText, ScanPass pass, ScanState& state);

// Takes an accepted sentence whose date-time was read as time: its place and
// speed, the time checks in the check pass, the counts.
void StoreRmc(TDateTime time, std::string_view timeText, const TRmcFixText& fix, ScanPass pass, ScanState& state,
              const CheckContext& context);
