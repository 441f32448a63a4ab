#include "settings/WindowPlacement.h"

#include <gtest/gtest.h>

#include <ostream>

static void PrintTo(const TRect32& r, std::ostream* os) {
    *os << "{" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "}";
}

namespace {

constexpr std::int32_t kUnset = kUnsetPosition;
// The window as it is created, centred on a 1280 x 1024 screen, before the
// first activation fits its width to the options row.
constexpr TRect32 kCreated{320, 220, 960, 803};  // 640 x 583
constexpr TRect32 kScreen{0, 0, 1280, 1024};
constexpr TRect32 kTaskBarBelow{100, 50, 1100, 850};  // 1000 x 800
constexpr TRect32 kLeftMonitor{-1920, -200, 0, 880};  // 1920 x 1080, left of and above the first

TRect32 Sized(std::int32_t width, std::int32_t height) { return {0, 0, width, height}; }

TEST(PlacedWindowRect, CentresUnsetPositionsAndPullsTheRestIntoTheWorkArea) {
    struct Row {
        const char* what;
        TWindowPosition stored;
        TRect32 window, work, want;
    };
    const Row rows[] = {
        // centred: both coordinates recomputed when either is unset; odd halves truncated
        {"both unset", {kUnset, kUnset}, kCreated, kScreen, {320, 220, 960, 803}},
        {"left unset", {100, kUnset}, kCreated, kScreen, {320, 220, 960, 803}},
        {"top unset", {kUnset, 100}, kCreated, kScreen, {320, 220, 960, 803}},
        {"work area with a task bar", {kUnset, kUnset}, kCreated, kTaskBarBelow, {280, 158, 920, 741}},
        {"monitor at negative coordinates", {kUnset, kUnset}, kCreated, kLeftMonitor, {-1280, 48, -640, 631}},
        // stored corners
        {"inside stays", {100, 200}, kCreated, kScreen, {200, 100, 840, 683}},
        {"inside stays, any size", {60, 150}, Sized(400, 300), kTaskBarBelow, {150, 60, 550, 360}},
        {"negative: top and left edges", {-50, -70}, kCreated, kScreen, {0, 0, 640, 583}},
        {"off left and top", {-500, -500}, Sized(400, 300), kTaskBarBelow, {100, 50, 500, 350}},
        {"corner of the screen outside the work area", {0, 0}, kCreated, kTaskBarBelow, {100, 50, 740, 633}},
        {"off right and bottom", {900, 1000}, Sized(400, 300), kTaskBarBelow, {700, 550, 1100, 850}},
        {"far off right and bottom", {5000, 9000}, kCreated, kScreen, {640, 441, 1280, 1024}},
        {"far off left and bottom", {5000, -5000}, kCreated, kTaskBarBelow, {100, 267, 740, 850}},
        {"32-bit extremes", {2147483646, -2147483647 - 1}, kCreated, kScreen, {0, 441, 640, 1024}},
        {"other monitor, off its top left", {-300, -2000}, kCreated, kLeftMonitor, {-1920, -200, -1280, 383}},
        // larger than the work area: the top edge and the right edge win
        {"taller: top edge", {0, 150}, Sized(400, 900), kTaskBarBelow, {150, 50, 550, 950}},
        {"wider: right edge", {60, 0}, Sized(1200, 300), kTaskBarBelow, {-100, 60, 1100, 360}},
        {"both: top right corner", {0, 0}, Sized(1200, 900), kTaskBarBelow, {-100, 50, 1100, 950}},
        {"both, centred: top right corner", {kUnset, kUnset}, Sized(1200, 900), kTaskBarBelow, {-100, 50, 1100, 950}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(PlacedWindowRect(r.stored, r.window, r.work), r.want);
    }
}

TEST(StoredWindowRect, MovesTheWindowAsTheWindowSystemWould) {
    struct Row {
        const char* what;
        TWindowPosition stored;
        std::optional<TRect32> want;
    };
    const Row rows[] = {
        {"top unset: stays on its monitor", {kUnset, 100}, std::nullopt},
        {"left unset: stays on its monitor", {100, kUnset}, std::nullopt},
        {"ordinary corner", {100, 200}, TRect32{200, 100, 840, 683}},
        {"16-bit limits stay", {32767, -32768}, TRect32{-32768, 32767, -32128, 33350}},
        {"held to the 16-bit range", {-100000, 100000}, TRect32{32767, -32768, 33407, -32185}},
        {"32-bit extremes", {2147483646, -2147483647 - 1}, TRect32{-32768, 32767, -32128, 33350}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_EQ(StoredWindowRect(r.stored, kCreated), r.want);
    }
}

}  // namespace
