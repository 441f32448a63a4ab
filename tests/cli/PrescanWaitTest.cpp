#include "cli/PrescanWait.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Plays events on a wait and records what it shows: "n" for a line with
// count n, "clear" for a line taken away.
std::vector<std::string> Play(bool inPlace, const std::string& events) {
    std::vector<std::string> shown;
    TPrescanWait wait({[&](std::wstring_view text) {
                           const auto colon = text.rfind(L": ");
                           const std::wstring count(text.substr(colon + 2, text.find(L' ', colon + 2) - colon - 2));
                           shown.push_back(std::string(count.begin(), count.end()));
                       },
                       [&] { shown.push_back("clear"); }, inPlace});
    std::int32_t count = 0;
    for (const char e : events) {
        switch (e) {
            case '+': wait.Counted(++count); break;
            case 'w': wait.Waiting(); break;
            case 'r': wait.BeforeReportLine(); break;
            case 's': wait.CheckStarted(); break;
            default: break;
        }
    }
    return shown;
}

std::string Times(int n, char c) { return std::string(static_cast<std::size_t>(n), c); }

TEST(PrescanWaitText, SaysWhatItWaitsForAndHowFarItIs) {
    EXPECT_EQ(PrescanWaitText(312), L"waiting for 1000 RMC sentences before checking: 312 so far");
}

TEST(TPrescanWait, ShowsOnlyOnceTheLogRunsDry) {
    struct Row {
        const char* what;
        bool inPlace;
        std::string events;
        std::vector<std::string> shown;
    };
    const Row rows[] = {
        {"read whole at once", true, Times(1000, '+') + "s", {}},
        {"terminal: each sentence redrawn", true, "++w++s", {"2", "3", "4", "clear"}},
        {"terminal: repeated waits draw nothing new", true, "+ww+", {"1", "2"}},
        {"terminal: a report line takes it away until the next", true, "+wr+rw", {"1", "clear", "2", "clear", "2"}},
        {"terminal: nothing after the check starts", true, "w+s+wr", {"0", "1", "clear"}},
        {"plain: at the wait and every 100", false, "+w" + Times(250, '+') + "w", {"1", "100", "200"}},
        {"plain: not at the last sentence, which starts the check",
         false,
         "w" + Times(1000, '+') + "s",
         {"0", "100", "200", "300", "400", "500", "600", "700", "800", "900"}},
        {"plain: nothing to take away", false, "wrs", {"0"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(Play(r.inPlace, r.events), r.shown);
    }
}

}  // namespace
