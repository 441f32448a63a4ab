#include "cli/FollowSource.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

using namespace std::chrono_literals;

// A folder of its own with the log in it, and a writer that acts on it from
// another thread while the source waits.
class FollowSourceTest : public testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/follow-test-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        Folder = folder;
        Path = Folder + "/log.nmea";
    }
    void TearDown() override {
        if (Writer.joinable()) Writer.join();
        std::remove(Path.c_str());
        std::remove((Folder + "/new.nmea").c_str());
        ::rmdir(Folder.c_str());
    }

    std::unique_ptr<IFollowSource> Follow(const std::string& name, std::optional<double> idle = std::nullopt) {
        auto source = MakeFollowSource({idle, [this] { ++Waits; }});
        EXPECT_TRUE(source->Open(Utf8ToWide(name)));
        return source;
    }
    static void Append(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::app) << bytes;
    }
    // Runs the steps one after another on a thread of their own, a pause before each.
    void Later(std::vector<std::function<void()>> steps) {
        Writer = std::thread([steps = std::move(steps)] {
            for (const auto& step : steps) {
                std::this_thread::sleep_for(50ms);
                step();
            }
        });
    }
    // Small blocks, so that the reads end inside lines and line ends.
    static std::string ReadToEnd(IByteSource& source) {
        std::string bytes;
        char block[3];
        while (const std::size_t n = source.Read(block, sizeof block)) bytes.append(block, n);
        return bytes;
    }

    std::string Folder, Path;
    std::thread Writer;
    int Waits = 0;
};

TEST_F(FollowSourceTest, AGrowingFileIsReadAsItGrowsUntilTheIdleTime) {
    Append(Path, "abc");
    const auto source = Follow(Path, 0.3);
    Later({[&] { Append(Path, "de\r"); }, [&] { Append(Path, "\nf"); }});
    EXPECT_EQ(ReadToEnd(*source), "abcde\r\nf");
    EXPECT_EQ(source->End(), FollowEnd::Idle);
    EXPECT_GE(Waits, 2);
    EXPECT_EQ(source->Size(), 0);
    // The rewind gives the log as it was followed, not what came after.
    Writer.join();
    Append(Path, "g\n");
    source->Reopen();
    EXPECT_EQ(ReadToEnd(*source), "abcde\r\nf");
    source->Close();
}

// The second pass reads the file as it was followed, whatever became of it.
TEST_F(FollowSourceTest, AFileThatChangesUnderItsNameEndsTheFollow) {
    struct Row {
        const char* what;
        std::function<void(const std::string& path, const std::string& folder)> change;
        FollowEnd end;
    };
    const Row rows[] = {
        {"truncated", [](const std::string& p, const std::string&) { ASSERT_EQ(::truncate(p.c_str(), 2), 0); },
         FollowEnd::Truncated},
        {"renamed over",
         [](const std::string& p, const std::string& f) {
             Append(f + "/new.nmea", "other log, longer than the first\n");
             ASSERT_EQ(std::rename((f + "/new.nmea").c_str(), p.c_str()), 0);
         },
         FollowEnd::Replaced},
        {"removed", [](const std::string& p, const std::string&) { std::remove(p.c_str()); }, FollowEnd::Replaced},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        std::remove(Path.c_str());
        Append(Path, "abc\n");
        const auto source = Follow(Path);
        Later({[&] { r.change(Path, Folder); }});
        EXPECT_EQ(ReadToEnd(*source), "abc\n");
        EXPECT_EQ(source->End(), r.end);
        Writer.join();
        source->Reopen();
        EXPECT_EQ(ReadToEnd(*source), "abc\n");
        source->Close();
    }
}

TEST_F(FollowSourceTest, ANamedPipeIsKeptForTheRewindAndEndsWithItsWriter) {
    ASSERT_EQ(::mkfifo(Path.c_str(), 0600), 0);
    const auto source = Follow(Path);  // opens before any writer is there
    Later({[&] {
        std::FILE* fifo = std::fopen(Path.c_str(), "wb");
        ASSERT_NE(fifo, nullptr);
        std::fputs("ab", fifo);
        std::fflush(fifo);
        std::this_thread::sleep_for(50ms);
        std::fputs("c\r\n", fifo);
        std::fclose(fifo);
    }});
    EXPECT_EQ(ReadToEnd(*source), "abc\r\n");
    EXPECT_EQ(source->End(), FollowEnd::Closed);
    source->Reopen();
    EXPECT_EQ(ReadToEnd(*source), "abc\r\n");
    EXPECT_THROW(source->Reopen(), TUserError);  // what the second pass read is not kept
    source->Close();
}

TEST_F(FollowSourceTest, FoldersAndMissingLogsDoNotOpen) {
    for (const std::string& name : {Folder, Path}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(MakeFollowSource({})->Open(Utf8ToWide(name)));
    }
}

}  // namespace
#endif
