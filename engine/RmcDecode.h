// Decoding of the RMC sentences (and the GLO receiver's announcement) into
// the run state: UTC date-time, position and speed.
#pragma once

#include <string_view>

#include "engine/CheckContext.h"
#include "engine/ScanState.h"
#include "engine/ShortText.h"

enum class ScanPass { Prescan = 0, Check = 1 };

// Whether a six-byte type such as "$GPRMC" names RMC or RMT.
inline bool NamesRmcOrRmt(std::string_view type) {
    return type[3] == 'R' && type[4] == 'M' && (type[5] == 'C' || type[5] == 'T');
}

// A sentence whose field 0 has six bytes, "$" first, and names neither RMC
// nor RMT ("$GPGSV,..."): of no type handled here, which its first seven
// bytes tell. Most sentences of a log are such; they are dismissed inline.
inline bool OfOtherType(std::string_view sentence) {
    if (sentence.size() < 7 || sentence[0] != '$' || sentence[6] != ',') return false;
    if (NamesRmcOrRmt(sentence)) return false;
    for (std::size_t k = 1; k < 6; ++k)
        if (sentence[k] == ',') return false;  // a shorter field 0
    return true;
}

// ProcessSentence for a sentence not OfOtherType.
void ProcessPossibleRmc(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context);

// Handles one sentence of a pass; in the check pass an accepted RMC sentence
// goes on to CheckTimes. Nothing escapes: a sentence that cannot be decoded
// is skipped.
inline void ProcessSentence(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context) {
    if (!OfOtherType(sentence)) ProcessPossibleRmc(sentence, pass, state, context);
}
// The same without the direct decoding of the usual RMC shapes: every
// sentence goes through the split and the date-time text. What
// ProcessSentence must match to the last bit.
void ProcessSentenceExactly(std::string_view sentence, ScanPass pass, ScanState& state, const CheckContext& context);

// "123519" -> "12:35:19.000", "1235197" -> "12:35:19.7".
TShortText<char> TimeFieldToText(std::string_view field);
// At least three digits after the point.
TShortText<char> PadMilliseconds(std::string_view timeText);
// The ddmmyy field's pairs in the user's order, joined by the user's separator.
TShortText<wchar_t> DateFieldToLocalOrder(std::string_view field, const DateConventions& conventions);
// That text as month, day and year joined by the US separator.
TShortText<wchar_t> LocalDateToUsDate(std::wstring_view text, const DateConventions& conventions);
