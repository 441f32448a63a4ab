#include "engine/SentenceFields.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

TEST(SplitSentence, FillsFieldsUpToTheTwentyFifth) {
    struct Row {
        std::string sentence;
        int count;
        std::vector<std::string> fields;
    };
    const Row rows[] = {
        {"", 1, {""}},
        {"$GPRMC,1,2", 3, {"$GPRMC", "1", "2"}},
        {"$GPRMC,A*6A", 2, {"$GPRMC", "A"}},
        {"$GPRMC,*6A", 2, {"$GPRMC", ""}},
        {"$GPRMC,12*", 2, {"$GPRMC", "12"}},
        {"$G*P,x", 2, {"$G*P", "x"}},  // a star before the last field stays
        {"$GPGGA*47", 1, {"$GPGGA"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.sentence);
        const SentenceFields f = SplitSentence(r.sentence);
        EXPECT_EQ(f.Count, r.count);
        for (std::size_t i = 0; i < kFieldCount; ++i)
            EXPECT_EQ(f.Field[i], i < r.fields.size() ? r.fields[i] : "") << "field " << i;
    }
}

TEST(SplitSentence, TwentyFourCommasAtMost) {
    std::string sentence = "$X";
    for (int i = 1; i <= 30; ++i) sentence += "," + std::to_string(i);
    sentence += "*00";
    const SentenceFields f = SplitSentence(sentence);
    EXPECT_EQ(f.Count, kFieldCount);
    EXPECT_EQ(f.Field[23], "23");
    EXPECT_EQ(f.Field[24], "24,25,26,27,28,29,30");
}

TEST(ChecksumOk, ComparesTheXorWithTheHexAfterTheStar) {
    struct Row {
        std::string sentence;
        bool ok;
    };
    const Row rows[] = {
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", true},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", true},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A,xyz", true},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B", false},
        {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", false},
        {"$AB*03", true},
        {"$AB*3", true},   // one digit
        {"$AB* 3", true},  // blanks around the digits are trimmed
        {"$AB*3 ", true},
        {"$AA*", true},  // nothing after the star reads as 0, and so does the XOR
        {"$AA*zz", true},
        {"$AB*", false},
        {"$AB*-3", false},
        {"*", true},
        {"", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.sentence);
        EXPECT_EQ(ChecksumOk(r.sentence), r.ok);
    }
}

TEST(TrimBytes, RemovesBytesUpToBlankAtBothEnds) {
    struct Row {
        std::string in, out;
    };
    const Row rows[] = {
        {"", ""},         {"  $GPRMC  ", "$GPRMC"}, {std::string("\0\t$G\x1f", 5), "$G"},
        {"$G P", "$G P"}, {" \r\n ", ""},           {"\x80$G", "\x80$G"},  // bytes above 127 are not blanks
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.in);
        EXPECT_EQ(TrimBytes(r.in), r.out);
    }
}

TEST(LenientReaders, GiveTheirFixedValueForBadText) {
    struct Row {
        std::wstring text;
        double nanReader;
        double zeroReader;
        int intReader;
    };
    const double nan = std::nan("");
    const Row rows[] = {
        {L"", 0.0, 0.0, 0},      {L"   ", 0.0, 0.0, 0}, {L" 12.5 ", 12.5, 12.5, 0}, {L"7", 7.0, 7.0, 7},
        {L"-3", -3.0, -3.0, -3}, {L"abc", nan, 0.0, 0}, {L"$4F", nan, 0.0, 79},     {L"$", nan, 0.0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        const double n = FloatOrNaN(r.text);
        if (std::isnan(r.nanReader)) EXPECT_TRUE(std::isnan(n));
        else EXPECT_EQ(n, r.nanReader);
        EXPECT_EQ(FloatOrZero(r.text), r.zeroReader);
        EXPECT_EQ(IntOrZero(r.text), r.intReader);
    }
}

TEST(DecimalTextToDouble, ReadsDigitByDigit) {
    struct Row {
        std::string text;
        double value;
    };
    const Row rows[] = {
        {" 22.4 ", 22.4},
        {".5", 0.5},
        {"5.", 5.0},
        {"+1e2", 100.0},
        {"-0.25", -0.25},
        {"4807.038", 4807.038},
        {"1E-2", 0.01},
        {"1e-400", 0.0},
        {"9.161409916920615", 9.161409916920617},  // the mantissa's own roundings show
        {"0.000000000000000000000000000001", 1e-30},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const auto value = DecimalTextToDouble(r.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, r.value);
    }
    EXPECT_TRUE(std::signbit(*DecimalTextToDouble(std::string("-0"))));
}

TEST(DecimalTextToDouble, EdgesOfTheExponentAndTheSign) {
    struct Row {
        std::wstring text;
        double value;
    };
    const Row rows[] = {
        {L"0e1024", 0.0},         // 1024 is the largest exponent read
        {L"1e-1024", 0.0},        // below the subnormals
        {L"4.9e-324", 4.9e-324},  // the smallest subnormal
        {L"1e23", 1e23},          // 10^23 itself is not a double
        {L"123456789012345e-31", 123456789012345e-31},
        {L"1.5e300", 1.5e300},
        {L"1.7976931348623158e308", 1.7976931348623157e308},  // rounds down to the largest
        {L"2470328229206233e-339", 4.9e-324},                 // just above half the smallest subnormal
        {L"2470328229206232e-339", 0.0},                      // just below it
        {L"  -7.5  ", -7.5},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        const auto value = DecimalTextToDouble(r.text);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(*value, r.value);
    }
    EXPECT_TRUE(std::signbit(*DecimalTextToDouble(std::wstring(L"-0.0e5"))));
    // Only ASCII digits count, whatever the wide text holds.
    EXPECT_FALSE(DecimalTextToDouble(std::wstring(L"\xFF11")).has_value());
    EXPECT_FALSE(DecimalTextToDouble(std::wstring(L"1\x0660")).has_value());
    EXPECT_FALSE(DecimalTextToDouble(std::wstring(L"1.8e308")).has_value());
}

// Up to 15 digits the mantissa is exact, so the result must be the double
// nearest to the decimal text, for any scale; beyond 22 either way no single
// double operation gives it.
TEST(DecimalTextToDouble, NearestDoubleForEveryScale) {
    std::mt19937_64 random(7);
    int wrong = 0;
    for (int i = 0; i < 200000 && wrong < 5; ++i) {
        std::string text = std::to_string(random() % 1'000'000'000'000'000);
        const int scale = static_cast<int>(random() % 591) - 300;  // all within the normal range
        text += "e" + std::to_string(scale);
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const auto value = DecimalTextToDouble(text);
        if (!value || *value != expected) {
            ADD_FAILURE() << text;
            ++wrong;
        }
    }
}

TEST(DecimalTextToDouble, RefusesWhatIsNotADecimalNumber) {
    const std::string rows[] = {"1e", "1,5", ".", "", "\t1", "1.2.3", "INF", "NAN", "0x10", "1e400", "1e1025", "- 1"};
    for (const auto& text : rows) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(DecimalTextToDouble(text).has_value());
    }
}

TEST(IntegerTextToInt, ReadsDecimalAndHexadecimalForms) {
    struct Row {
        std::wstring text;
        std::optional<std::int32_t> value;
    };
    const Row rows[] = {
        {L"$4F", 79},
        {L"0x4f", 79},
        {L"x4F", 79},
        {L"X4f", 79},
        {L"-$10", -16},
        {L"$FFFFFFFF", -1},
        {L"$000000001", 1},
        {L"$100000000", std::nullopt},
        {L"2147483647", 2147483647},
        {L"2147483648", std::nullopt},
        {L"-2147483648", -2147483648LL},
        {L"-2147483649", std::nullopt},
        {L" 12", 12},
        {L"12 ", std::nullopt},
        {L"+7", 7},
        {L"", std::nullopt},
        {L"$", std::nullopt},
        {L"99999999999", std::nullopt},
        {L"-0x10", -16},
        {L"$7FFFFFFF", 2147483647},
        {L"$80000000", -2147483648LL},
        {L"$fFfF", 65535},
        {L"0", 0},
        {L"0x", std::nullopt},
        {L"x", std::nullopt},
        {L"$1G", std::nullopt},
        {L"1 2", std::nullopt},
        {L"\t1", std::nullopt},
        {L"\xFF11", std::nullopt},  // a fullwidth digit is no digit
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.text));
        EXPECT_EQ(IntegerTextToInt(r.text), r.value);
    }
}

}  // namespace
