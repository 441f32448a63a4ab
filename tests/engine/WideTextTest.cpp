#include "engine/WideText.h"

#include <gtest/gtest.h>

namespace {

TEST(WideText, Utf8RoundTripsAndForeignBytesSurvive) {
    const std::string rows[] = {
        "track.nmea", "Gr\xc3\xbc\xc3\x9f" "e", "\xe6\x97\xa5\xe6\x9c\xac.nmea", "\xf0\x9f\x9b\xb0",
        "latin1-\xe9\xe8", "\xff\xfe", "\xc0\xaf", "\xed\xa0\x80", std::string("nul\0in", 6),
    };
    for (const auto& bytes : rows) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_EQ(WideToUtf8(Utf8ToWide(bytes)), bytes);
    }
}

TEST(WideText, DecodesCodePoints) {
    EXPECT_EQ(Utf8ToWide("\xc3\xbc"), L"\u00fc");
    EXPECT_EQ(Utf8ToWide("\xe6\x97\xa5"), L"\u65e5");
    EXPECT_EQ(WideToUtf8(L"\U0001F6F0"), "\xf0\x9f\x9b\xb0");
    EXPECT_EQ(Utf8ToWide("\xff"), std::wstring(1, static_cast<wchar_t>(0xDCFF)));
    // Escapes turn back into their bytes, not into UTF-8 of U+DC80..U+DCFF.
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xDC80))), "\x80");
}

}  // namespace
