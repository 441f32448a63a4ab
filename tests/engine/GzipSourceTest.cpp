#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeHost.h"
#include "GzipBytes.h"
#include "engine/CheckRun.h"
#include "engine/WideText.h"

namespace {

std::string NumberedLines(int count, const char* end) {
    std::string log;
    for (int i = 0; i < count; ++i) log += "$GPGGA," + std::to_string(i * 7919) + end;
    return log;
}

// Every line of both passes, as the check run reads them.
std::vector<std::string> TwoPasses(std::unique_ptr<IByteSource> source) {
    TLogReader reader(std::move(source));
    EXPECT_TRUE(reader.OpenLog(L"log.nmea.gz"));
    std::vector<std::string> lines;
    for (int pass = 0; pass < 2; ++pass) {
        while (!reader.AtEnd()) lines.emplace_back(reader.ReadLogLine());
        reader.RewindLog();
    }
    reader.CloseLog();
    return lines;
}

std::unique_ptr<IByteSource> GzipAware(const std::string& bytes) {
    return MakeGzipAwareSource(std::make_unique<TMemorySource>(bytes));
}

TEST(GzipSource, ACompressedLogGivesTheLinesOfTheLogInside) {
    const std::string big = NumberedLines(30000, "\r\n");
    const struct {
        const char* Name;
        std::string Log;
        std::string Stored;
    } rows[] = {
        {"empty log", "", Gzip("")},
        {"mixed line ends", "A\r\nB\rC\n\rD\n\nE", Gzip("A\r\nB\rC\n\rD\n\nE")},
        {"larger than the input block", big, Gzip(big)},
        {"two members one after another", "A\r\nB\r\nC", Gzip("A\r\nB") + Gzip("\r\nC")},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(TwoPasses(GzipAware(r.Stored)), TwoPasses(std::make_unique<TMemorySource>(r.Log)));
    }
}

TEST(GzipSource, OtherBytesPassUnchanged) {
    const std::string rows[] = {
        "",
        "\x1F",
        "\x1F\x8A$GPRMC\r\n",
        std::string("\x8B\x1F\0\r\n", 5),
        NumberedLines(20000, "\n"),
        // The magic by chance, but no deflate method after it: no gzip stream.
        "\x1F\x8B$GPRMC\r\n",
        std::string("\x1F\x8B\0", 3),
    };
    for (const std::string& bytes : rows) {
        EXPECT_EQ(TwoPasses(GzipAware(bytes)), TwoPasses(std::make_unique<TMemorySource>(bytes)));
    }
}

TEST(GzipSource, ADamagedStreamIsAReadError) {
    const std::string whole = Gzip(NumberedLines(2000, "\r\n"));
    std::string flipped = whole;
    flipped[whole.size() / 2] = static_cast<char>(flipped[whole.size() / 2] ^ 0x55);
    const struct {
        const char* Name;
        std::string Stored;
        const wchar_t* Text;
    } rows[] = {
        {"magic only", whole.substr(0, 2), L"(compressed log cut short)"},
        {"cut in the data", whole.substr(0, whole.size() / 2), L"(compressed log cut short)"},
        {"trailer missing", whole.substr(0, whole.size() - 8), L"(compressed log cut short)"},
        {"a byte changed", flipped, L"(compressed log damaged: "},
        {"a damaged second member", whole + "\x1F\x8B\x08garbage", L"(compressed log damaged: "},
        {"a second member cut after its magic", whole + "\x1F\x8B", L"(compressed log cut short)"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        try {
            TwoPasses(GzipAware(r.Stored));
            ADD_FAILURE() << "no read error";
        } catch (const TUserError& e) {
            EXPECT_EQ(e.Text.rfind(std::wstring(L"Read error : log.nmea.gz ") + r.Text, 0), 0u) << WideToUtf8(e.Text);
        }
    }
}

// After the last member gzip ignores zeros that pad the file to a block, and
// warns of other bytes: the log is the members' log either way, and the other
// bytes are counted.
TEST(GzipSource, BytesAfterTheLastMemberAreNotPartOfTheLog) {
    const std::string log = NumberedLines(3000, "\r\n");
    const std::string member = Gzip(log);
    const std::string zeros(16, '\0');
    const struct {
        const char* Name;
        std::string After;
        std::int64_t Counted;
    } rows[] = {
        {"nothing", "", 0},
        {"zeros", zeros, 0},
        {"many zeros", std::string(200000, '\0'), 0},
        {"a line", "x\r\n", 3},
        {"one byte of the magic", "\x1F", 1},
        {"zeros, then other bytes", zeros + "x", 17},
        {"other bytes, then a member", "x" + member, 1 + static_cast<std::int64_t>(member.size())},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Name);
        TLogReader reader(GzipAware(member + r.After));
        ASSERT_TRUE(reader.OpenLog(L"log.nmea.gz"));
        std::string read;
        for (int pass = 0; pass < 2; ++pass) {
            read.clear();
            while (!reader.AtEnd()) read.append(reader.ReadLogLine()).append("\r\n");
            EXPECT_EQ(reader.TrailingBytes(), r.Counted);
            reader.RewindLog();
        }
        EXPECT_EQ(read, log + "\r\n");  // the reader's last, empty line after the final line end
        reader.CloseLog();
    }
}

// The share counts compressed bytes against the compressed size: it grows
// and stays within 100 % though the log inside is many times larger.
TEST(GzipSource, ProgressCountsCompressedBytes) {
    ScanState state;
    TFakeHost host{state};
    TLogReader reader(GzipAware(Gzip(NumberedLines(25000, "\r\n"))));
    RunCheck(host, state, reader, YearFirstConventions(), 2025);
    std::vector<double> shares;
    for (const std::wstring& status : host.Statuses) {
        const auto open = status.find(L" (");
        if (status.rfind(L"log.nmea: Line ", 0) == 0) shares.push_back(std::stod(status.substr(open + 2)));
    }
    ASSERT_EQ(shares.size(), 3u);
    EXPECT_GT(shares[0], 0.0);
    EXPECT_LT(shares[0], shares[1]);
    EXPECT_LT(shares[1], shares[2]);
    EXPECT_LE(shares[2], 100.0);
}

}  // namespace
