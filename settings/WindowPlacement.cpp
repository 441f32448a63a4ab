#include "settings/WindowPlacement.h"

#include <algorithm>

namespace {

constexpr std::int32_t kLowestWindowCoordinate = -32768;
constexpr std::int32_t kHighestWindowCoordinate = 32767;

bool IsCentred(const TWindowPosition& stored) { return stored.Top == kUnsetPosition || stored.Left == kUnsetPosition; }

std::int32_t HeldCoordinate(std::int32_t value) {
    return std::clamp(value, kLowestWindowCoordinate, kHighestWindowCoordinate);
}

TRect32 RectAt(std::int32_t left, std::int32_t top, const TRect32& sizeOf) {
    return {left, top, left + (sizeOf.Right - sizeOf.Left), top + (sizeOf.Bottom - sizeOf.Top)};
}

}  // namespace

std::optional<TRect32> StoredWindowRect(const TWindowPosition& stored, const TRect32& window) {
    if (IsCentred(stored)) return std::nullopt;
    return RectAt(HeldCoordinate(stored.Left), HeldCoordinate(stored.Top), window);
}

TRect32 PlacedWindowRect(const TWindowPosition& stored, const TRect32& window, const TRect32& work) {
    const std::int32_t height = window.Bottom - window.Top, width = window.Right - window.Left;
    std::int32_t top = stored.Top, left = stored.Left;
    if (IsCentred(stored)) {
        top = CentredStart(work.Top, work.Bottom - work.Top, height);
        left = CentredStart(work.Left, work.Right - work.Left, width);
    }
    if (left < work.Left) left = work.Left;
    if (top > work.Bottom - height) top = work.Bottom - height;
    if (left > work.Right - width) left = work.Right - width;
    if (top < work.Top) top = work.Top;
    return RectAt(left, top, window);
}
