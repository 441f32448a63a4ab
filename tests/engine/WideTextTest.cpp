#include "engine/WideText.h"

#include <gtest/gtest.h>

namespace {

TEST(WideText, Utf8RoundTripsAndForeignBytesSurvive) {
    const std::string rows[] = {
        "track.nmea",
        "Gr\xc3\xbc\xc3\x9f"
        "e",
        "\xe6\x97\xa5\xe6\x9c\xac.nmea",
        "\xf0\x9f\x9b\xb0",
        "latin1-\xe9\xe8",
        "\xff\xfe",
        "\xc0\xaf",
        "\xed\xa0\x80",
        std::string("nul\0in", 6),
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

TEST(WideText, TellsUtf8FromOtherBytes) {
    for (const char* utf8 : {"", "plain",
                             "Gr\xc3\xbc\xc3\x9f"
                             "e",
                             "\xf0\x9f\x9b\xb0"})
        EXPECT_TRUE(IsUtf8(utf8)) << utf8;
    for (const char* other : {"caf\xe9", "\x83\x74\x83\x40\x83\x43\x83\x8b", "\xc0\xaf", "\xe6\x97"}) {
        EXPECT_FALSE(IsUtf8(other)) << other;
    }
}

#ifdef _WIN32
// Bytes that are not UTF-8 come from the ANSI code page, never as escapes.
TEST(WideText, RuntimeTextsDecodeAsUtf8OrAnsi) {
    EXPECT_EQ(NarrowMessageToWide("Gr\xc3\xbc\xc3\x9f"
                                  "e"),
              L"Gr\u00fc\u00df"
              L"e");
    const std::wstring ansi = NarrowMessageToWide("caf\xe9");
    ASSERT_EQ(ansi.size(), 4u);
    EXPECT_EQ(ansi.substr(0, 3), L"caf");
    EXPECT_NE(ansi[3] & 0xFF80, 0xDC80);
}
#endif

}  // namespace
