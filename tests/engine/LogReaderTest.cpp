#include "engine/LogReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/UserError.h"

namespace {

// A log in memory that hands out at most Chunk bytes a read (as a pipe may),
// counts its reads and fails the ones it is told to.
class TScriptedSource : public IByteSource {
public:
    explicit TScriptedSource(std::string bytes) : Bytes(std::move(bytes)) {}

    bool Open(std::wstring_view name) override {
        Pos = 0;
        return name == L"log";
    }
    std::int64_t Size() override { return SizeOverride >= 0 ? SizeOverride : static_cast<std::int64_t>(Bytes.size()); }
    std::size_t Read(char* buffer, std::size_t size) override {
        if (++Reads == FailRead) throw TUserError(L"read failed");
        const std::size_t n = std::min({size, Chunk, Bytes.size() - Pos});
        Bytes.copy(buffer, n, Pos);
        Pos += n;
        return n;
    }
    void Reopen() override {
        if (FailReopen) throw TUserError(L"reopen failed");
        Pos = 0;
    }
    void Close() override {
        if (FailClose) throw TUserError(L"close failed");
    }

    std::string Bytes;
    std::size_t Pos = 0;
    std::size_t Chunk = SIZE_MAX;
    std::int64_t SizeOverride = -1;
    int Reads = 0;
    int FailRead = 0;  // the number of the read that fails, from 1; 0 for none
    bool FailReopen = false;
    bool FailClose = false;
};

class LogReaderTest : public testing::Test {
protected:
    TScriptedSource& Open(const std::string& bytes, int failRead = 0) {
        auto source = std::make_unique<TScriptedSource>(bytes);
        source->FailRead = failRead;
        TScriptedSource& kept = *source;
        Reader = std::make_unique<TLogReader>(std::move(source));
        EXPECT_TRUE(Reader->OpenLog(L"log"));
        return kept;
    }
    // Every line up to and including the one returned with AtEnd.
    std::vector<std::string> ReadAll() {
        std::vector<std::string> lines;
        while (!Reader->AtEnd()) lines.emplace_back(Reader->ReadLogLine());
        return lines;
    }
    std::unique_ptr<TLogReader> Reader;
};

using Lines = std::vector<std::string>;

TEST_F(LogReaderTest, LineEndsOfAnyKind) {
    struct Row {
        std::string between;
        Lines lines;
    };
    const Row rows[] = {
        {"\r\n", {"A", "B"}},     {"\n", {"A", "B"}},       {"\r", {"A", "B"}},         {"\n\r", {"A", "B"}},
        {"\r\r", {"A", "", "B"}}, {"\n\n", {"A", "", "B"}}, {"\r\n\n", {"A", "", "B"}}, {"\r\n\r\n", {"A", "B"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.between));
        Open("A" + r.between + "B");
        EXPECT_EQ(ReadAll(), r.lines);
    }
}

TEST_F(LogReaderTest, EndOfLog) {
    struct Row {
        std::string bytes;
        Lines lines;
    };
    const Row rows[] = {
        {"", {""}},
        {"A", {"A"}},
        {"A\r\n", {"A", ""}},
        {std::string("A\0B\x80", 4), {std::string("A\0B\x80", 4)}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.bytes));
        Open(r.bytes);
        EXPECT_EQ(ReadAll(), r.lines);
        EXPECT_EQ(Reader->ReadLogLine(), "");  // a further call finds nothing more
    }
}

TEST_F(LogReaderTest, LineEndsAtTheBlockBoundary) {
    const std::string a(2047, 'a');  // the next byte is the block's last
    struct Row {
        std::string bytes;
        Lines lines;
    };
    const Row rows[] = {
        {a + "\r\nB", {a, "B"}},  // CR as byte 2048, LF as byte 2049: one line end
        {a + "\n\rB", {a, "B"}},       {a + "\r\rB", {a, "", "B"}},
        {a + "b\nB", {a + "b", "B"}},  // a line across the boundary comes back whole
        {a + "\rb\nB", {a, "b", "B"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.bytes.substr(2047));
        Open(r.bytes);
        EXPECT_EQ(ReadAll(), r.lines);
    }
}

TEST_F(LogReaderTest, LogOfExactlyOneBlockEndingInCrLf) {
    const std::string line(2046, 'x');
    TScriptedSource& source = Open(line + "\r\n");
    EXPECT_EQ(ReadAll(), (Lines{line, ""}));
    EXPECT_EQ(source.Reads, 2);  // the empty last line comes from a read that found nothing
    EXPECT_EQ(Reader->ReadLogLine(), "");
    EXPECT_EQ(source.Reads, 3);  // a call after the end tries once more
}

TEST_F(LogReaderTest, OpenForgetsTheLastByteOfTheLogBefore) {
    Open("\nA\r");
    ReadAll();
    ASSERT_TRUE(Reader->OpenLog(L"log"));
    EXPECT_EQ(ReadAll(), (Lines{"", "A", ""}));
}

TEST_F(LogReaderTest, LongLinesAcrossManyBlocksComeBackWhole) {
    const std::string big(3 * 1024 * 1024 + 7, 'z');
    Open("a\n" + big + "\nb");
    EXPECT_EQ(ReadAll(), (Lines{"a", big, "b"}));
}

TEST_F(LogReaderTest, RewindKeepsTheLastByteOfThePreviousPass) {
    struct Row {
        std::string bytes;
        Lines secondPass;
    };
    const Row rows[] = {
        {"\nA\r", {"A", ""}},  // LF after the pass's last CR ends nothing
        {"\rA\n", {"A", ""}},
        {"\nA\n", {"", "A", ""}},  // LF after LF is a line end
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.bytes));
        Open(r.bytes);
        ReadAll();
        Reader->RewindLog();
        EXPECT_EQ(ReadAll(), r.secondPass);
    }
}

TEST_F(LogReaderTest, ReadFailureIsAnError) {
    Open(std::string(5000, 'x'), 2);
    EXPECT_THROW(ReadAll(), TUserError);
}

TEST_F(LogReaderTest, FailedOpenLeavesNothingToRead) {
    TLogReader reader(std::make_unique<TScriptedSource>("A\nB"));
    EXPECT_FALSE(reader.OpenLog(L"other"));
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_FALSE(reader.OpenLog(std::wstring(L"log\0x", 5)));  // a NUL would cut the name
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(LogReaderTest, RewindAndCloseFailuresAreErrors) {
    TScriptedSource& source = Open("A\nB");
    ReadAll();
    source.FailReopen = true;
    EXPECT_THROW(Reader->RewindLog(), TUserError);
    source.FailClose = true;
    EXPECT_THROW(Reader->CloseLog(), TUserError);
}

TEST_F(LogReaderTest, SizeIsKeptBeyondFourGigabytes) {
    auto source = std::make_unique<TScriptedSource>("A");
    source->SizeOverride = 5'000'000'000;
    TLogReader reader(std::move(source));
    ASSERT_TRUE(reader.OpenLog(L"log"));
    EXPECT_EQ(reader.FileBytes(), 5'000'000'000);
    EXPECT_FALSE(reader.OpenLog(L"missing"));
    EXPECT_EQ(reader.FileBytes(), 5'000'000'000);  // a failed open keeps the last size
}

// The rules applied one byte at a time: the lines a log must give, up to and
// including the one returned with AtEnd. lastChar carries over between passes.
std::vector<std::string> ModelLines(const std::string& bytes, char& lastChar) {
    std::vector<std::string> lines(1);
    for (char c : bytes) {
        const bool paired = (c == '\n' && lastChar == '\r') || (c == '\r' && lastChar == '\n');
        if (c != '\n' && c != '\r') lines.back() += c;
        else if (!paired) lines.emplace_back();
        lastChar = c;
    }
    return lines;
}

TEST_F(LogReaderTest, AgreesWithTheByteByByteRulesOnRandomLogs) {
    std::mt19937 random(20240611);
    const char alphabet[] = {'\r', '\n', 'a', '$', '\0', '\x80'};
    for (int round = 0; round < 200; ++round) {
        std::string bytes(random() % 9000, ' ');
        // Mostly short lines, sometimes long runs without line ends.
        const unsigned lineEndOdds = round % 4 == 0 ? 2000 : 6;
        for (char& c : bytes) c = alphabet[random() % lineEndOdds < 2 ? random() % 2 : 2 + random() % 4];
        SCOPED_TRACE("round " + std::to_string(round));
        TScriptedSource& source = Open(bytes);
        source.Chunk = round % 3 == 0 ? 1 + random() % 3000 : SIZE_MAX;
        char lastChar = 0;
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(ReadAll(), ModelLines(bytes, lastChar));
            Reader->RewindLog();
        }
    }
}

// Every line of two passes with the AtEnd that came with it.
std::vector<std::pair<std::string, bool>> LinesAndEnds(const std::string& bytes, std::size_t blockSize) {
    TLogReader reader(std::make_unique<TScriptedSource>(bytes), blockSize);
    EXPECT_TRUE(reader.OpenLog(L"log"));
    std::vector<std::pair<std::string, bool>> seen;
    for (int pass = 0; pass < 2; ++pass) {
        while (!reader.AtEnd()) {
            std::string line(reader.ReadLogLine());
            seen.emplace_back(std::move(line), reader.AtEnd());
        }
        reader.RewindLog();
    }
    return seen;
}

TEST(LogReaderBlockSizeTest, LinesDoNotDependOnTheBlockSize) {
    std::mt19937 random(7081);
    const char alphabet[] = {'\r', '\n', 'a', '$'};
    for (int round = 0; round < 120; ++round) {
        std::string bytes(1 + random() % 6000, ' ');
        for (char& c : bytes) c = alphabet[random() % (round % 2 == 0 ? 4 : 3)];
        // Each mix of line ends and other bytes around the first 2048-byte edge.
        for (int k = 0, mix = round; k < 4 && 2046u + k < bytes.size(); ++k, mix /= 3)
            bytes[2046u + static_cast<unsigned>(k)] = alphabet[mix % 3];
        SCOPED_TRACE("round " + std::to_string(round));
        const auto expected = LinesAndEnds(bytes, 1);
        for (std::size_t blockSize : {2u, 3u, 2048u, 262144u}) EXPECT_EQ(LinesAndEnds(bytes, blockSize), expected);
    }
}

// The operating system's files.
class LogFileTest : public testing::Test {
protected:
    LogFileTest()
        : Dir(std::filesystem::temp_directory_path() /
              ("fixtally-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()))) {
        std::filesystem::create_directories(Dir);
    }
    ~LogFileTest() override { std::filesystem::remove_all(Dir); }
    std::wstring Write(const std::string& name, const std::string& bytes) {
        const auto path = Dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.wstring();
    }
    std::filesystem::path Dir;
};

TEST_F(LogFileTest, ReadsAFileInTwoPasses) {
    TLogReader reader;
    ASSERT_TRUE(reader.OpenLog(Write("log.nmea", "A\r\nB")));
    EXPECT_EQ(reader.FileBytes(), 4);
    EXPECT_EQ(std::string(reader.ReadLogLine()), "A");
    reader.RewindLog();
    EXPECT_EQ(std::string(reader.ReadLogLine()), "A");
    EXPECT_EQ(std::string(reader.ReadLogLine()), "B");
    EXPECT_TRUE(reader.AtEnd());
    reader.CloseLog();
}

// Many blocks of every size the reader is given.
std::string NumberedLines(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += "$GPTXT,line " + std::to_string(i) + "\r\n";
    return bytes;
}

TEST_F(LogFileTest, LargeFilesComeBackWholeAtAnyBlockSize) {
    const std::string bytes = NumberedLines(600000);  // about 12 MB
    const std::wstring name = Write("large.nmea", bytes);
    for (const std::size_t blockSize : {2048u, 262144u, 16u << 20}) {
        TLogReader reader(MakeGzipAwareSource(MakeFileSource()), blockSize);
        ASSERT_TRUE(reader.OpenLog(name));
        for (int pass = 0; pass < 2; ++pass) {
            int count = 0;
            std::string last;
            while (!reader.AtEnd()) {
                const std::string_view line = reader.ReadLogLine();
                if (!line.empty()) last = line, ++count;
            }
            EXPECT_EQ(count, 600000) << blockSize;
            EXPECT_EQ(last, "$GPTXT,line 599999");
            reader.RewindLog();
        }
        reader.CloseLog();
    }
}

TEST_F(LogFileTest, BytesAppendedWhileReadAreRead) {
    const std::wstring name = Write("growing.nmea", "A\n");
    TLogReader reader(MakeFileSource(), 262144);
    ASSERT_TRUE(reader.OpenLog(name));
    EXPECT_EQ(reader.ReadLogLine(), "A");
    std::ofstream(std::filesystem::path(name), std::ios::binary | std::ios::app) << "B\n";
    EXPECT_EQ(reader.ReadLogLine(), "B");
    reader.CloseLog();
}

// A log that shrinks while it is read never crashes the reader. Windows reads
// stop at the new end; POSIX reads find the cut at the first short read and
// fail, so that a part of the log is never checked as if it were all of it.
TEST_F(LogFileTest, AFileThatShrinksWhileReadIsSurvived) {
    // Cut in the middle of a pass, or between the passes, as a log rotated
    // by truncation is.
    for (const bool betweenPasses : {false, true}) {
        SCOPED_TRACE(betweenPasses ? "between the passes" : "during a pass");
        const std::wstring name = Write("shrinking.nmea", NumberedLines(400000));
        TLogReader reader(MakeFileSource(), 262144);
        ASSERT_TRUE(reader.OpenLog(name));
        EXPECT_EQ(reader.ReadLogLine(), "$GPTXT,line 0");
        if (betweenPasses) {
            while (!reader.AtEnd()) reader.ReadLogLine();
            reader.RewindLog();
        }
        std::filesystem::resize_file(std::filesystem::path(name), 1 << 20);
#ifdef _WIN32
        EXPECT_NO_THROW(while (!reader.AtEnd()) reader.ReadLogLine());
#else
        try {
            while (!reader.AtEnd()) reader.ReadLogLine();
            ADD_FAILURE() << "no read error";
        } catch (const TUserError& e) {
            EXPECT_NE(e.Text.find(L"shrank"), std::wstring::npos);
        }
#endif
        reader.CloseLog();
    }
}

TEST_F(LogFileTest, NamesUpTo259CharactersOpen) {
    const std::wstring dir = Write("probe", "");
    const std::wstring prefix = dir.substr(0, dir.size() - 5);
    const std::size_t room = 259 - prefix.size();
    ASSERT_LT(room, 250u);
    const std::string longest(room, 'n');
    TLogReader reader;
    EXPECT_TRUE(reader.OpenLog(Write(longest, "x")));
    reader.CloseLog();
    EXPECT_FALSE(reader.OpenLog(Write(longest + "n", "x")));
}

TEST_F(LogFileTest, ReadOnlyFilesOpen) {
    const std::wstring name = Write("read-only.nmea", "A\n");
    namespace fs = std::filesystem;
    fs::permissions(name, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    TLogReader reader;
    EXPECT_TRUE(reader.OpenLog(name));
    EXPECT_EQ(std::string(reader.ReadLogLine()), "A");
    reader.CloseLog();
    fs::permissions(name, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(LogFileTest, MissingFilesFoldersAndEmptyNamesDoNotOpen) {
    const std::wstring folder = Write("probe", "");
    TLogReader reader;
    EXPECT_FALSE(reader.OpenLog(folder + L"-missing"));
    EXPECT_FALSE(reader.OpenLog(folder.substr(0, folder.size() - 6)));
    EXPECT_FALSE(reader.OpenLog(L""));
    EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
