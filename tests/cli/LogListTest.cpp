#include "cli/LogList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/NativePath.h"

namespace fs = std::filesystem;

namespace {

TEST(HasLogExtension, TakesTheOpenDialogsEndingsInAnyCase) {
    const struct {
        const wchar_t* Name;
        bool Log;
    } rows[] = {
        {L"a.nmea", true}, {L"A.NMEA", true},    {L"b.Nme", true},    {L"c.nma", true}, {L"d.LOG", true},
        {L"e.txt", true},  {L"f.nmea.gz", true}, {L"F.LOG.GZ", true}, {L"f.gz", false}, {L"f.csv.gz", false},
        {L"nmea", false},  {L".txt", true},      {L"g.csv", false},   {L"h.tx", false},
    };
    for (const auto& r : rows) EXPECT_EQ(HasLogExtension(r.Name), r.Log) << r.Name;
}

class ExpandLogsTest : public testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() /
               (std::string("fixtally-loglist-") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(Root);
        for (const char* name : {"b.nmea", "a.LOG", "notes.md", "sub/c.txt", "sub/deeper/d.nma"}) {
            fs::create_directories((Root / name).parent_path());
            std::ofstream(Root / name) << "$GPRMC\n";
        }
    }
    void TearDown() override { fs::remove_all(Root); }

    std::wstring Name(const char* relative) const { return NameOf((Root / relative).make_preferred()); }

    fs::path Root;
    std::vector<std::wstring> Errors;
    std::function<void(std::wstring_view)> OnError = [this](std::wstring_view e) { Errors.emplace_back(e); };
};

TEST_F(ExpandLogsTest, AFolderGivesItsLogsSortedAndOtherNamesStay) {
    const auto logs = ExpandLogs({L"x.bin", NameOf(Root), L"-"}, false, OnError);
    EXPECT_EQ(logs, (std::vector<std::wstring>{L"x.bin", Name("a.LOG"), Name("b.nmea"), L"-"}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(ExpandLogsTest, RecursionTakesSubFoldersAfterTheFolderItself) {
    const auto logs = ExpandLogs({NameOf(Root)}, true, OnError);
    EXPECT_EQ(logs,
              (std::vector<std::wstring>{Name("a.LOG"), Name("b.nmea"), Name("sub/c.txt"), Name("sub/deeper/d.nma")}));
}

}  // namespace
