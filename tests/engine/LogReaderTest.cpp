#include "engine/LogReader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FakeHost.h"

namespace {

class LogReaderTest : public testing::Test {
protected:
    void Open(const std::string& bytes, int failAfterReads = -1) {
        auto source = std::make_unique<TMemorySource>(bytes, L"log", failAfterReads);
        Reader = std::make_unique<TLogReader>(std::move(source));
        ASSERT_TRUE(Reader->OpenLog(L"log"));
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
    struct Row { std::string between; Lines lines; };
    const Row rows[] = {
        {"\r\n", {"A", "B"}},
        {"\n", {"A", "B"}},
        {"\r", {"A", "B"}},
        {"\n\r", {"A", "B"}},
        {"\r\r", {"A", "", "B"}},
        {"\n\n", {"A", "", "B"}},
        {"\r\n\n", {"A", "", "B"}},
        {"\r\n\r\n", {"A", "B"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::PrintToString(r.between));
        Open("A" + r.between + "B");
        EXPECT_EQ(ReadAll(), r.lines);
    }
}

TEST_F(LogReaderTest, EndOfLog) {
    struct Row { std::string bytes; Lines lines; };
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

TEST_F(LogReaderTest, LineEndSplitAcrossBlocksIsOneLineEnd) {
    const std::string first(2047, 'a');
    Open(first + "\r\nB");
    EXPECT_EQ(ReadAll(), (Lines{first, "B"}));
}

TEST_F(LogReaderTest, LogOfExactlyOneBlockEndingInCrLf) {
    const std::string line(2046, 'x');
    Open(line + "\r\n");
    EXPECT_EQ(ReadAll(), (Lines{line, ""}));
}

TEST_F(LogReaderTest, LongLinesAcrossManyBlocksComeBackWhole) {
    const std::string big(3 * 1024 * 1024 + 7, 'z');
    Open("a\n" + big + "\nb");
    EXPECT_EQ(ReadAll(), (Lines{"a", big, "b"}));
}

TEST_F(LogReaderTest, RewindKeepsTheLastByteOfThePreviousPass) {
    struct Row { std::string bytes; Lines secondPass; };
    const Row rows[] = {
        {"\nA\r", {"A", ""}},      // LF after the pass's last CR ends nothing
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
    Open(std::string(5000, 'x'), 1);
    EXPECT_THROW(ReadAll(), TUserError);
}

TEST_F(LogReaderTest, FailedOpenLeavesNothingToRead) {
    TLogReader reader(std::make_unique<TMemorySource>("A\nB", L"log"));
    EXPECT_FALSE(reader.OpenLog(L"other"));
    EXPECT_TRUE(reader.AtEnd());
}

// The operating system's files.
class LogFileTest : public testing::Test {
protected:
    LogFileTest() : Dir(std::filesystem::temp_directory_path() / ("fixtally-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()))) {
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

TEST_F(LogFileTest, MissingFilesFoldersAndEmptyNamesDoNotOpen) {
    const std::wstring folder = Write("probe", "");
    TLogReader reader;
    EXPECT_FALSE(reader.OpenLog(folder + L"-missing"));
    EXPECT_FALSE(reader.OpenLog(folder.substr(0, folder.size() - 6)));
    EXPECT_FALSE(reader.OpenLog(L""));
    EXPECT_TRUE(reader.AtEnd());
}

}  // namespace
