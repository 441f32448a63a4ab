// Where the main window goes when the settings are loaded, as arithmetic on
// screen pixels: the stored corner, or the centre of a work area when the
// stored position is unset, pulled into that work area. Finding the work area
// and moving the window are the window's own business.
#pragma once

#include <cstdint>
#include <optional>

// The value of a position key that asks for a centred window; a missing or
// unreadable key reads as it too.
inline constexpr std::int32_t kUnsetPosition = 2147483647;

// A rectangle of screen pixels, right and bottom exclusive.
struct TRect32 {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TRect32&, const TRect32&) = default;
};

// The main window's outer top-left corner as the settings keep it.
struct TWindowPosition {
    std::int32_t Top = kUnsetPosition;
    std::int32_t Left = kUnsetPosition;
    friend bool operator==(const TWindowPosition&, const TWindowPosition&) = default;
};

// Where something of the given size starts when centred in the span that
// begins at start and is extent long; the half is truncated toward zero.
constexpr std::int32_t CentredStart(std::int32_t start, std::int32_t extent, std::int32_t size) {
    return start + (extent - size) / 2;
}

// Where the stored position moves the window, of the size of `window`,
// before it is pulled into a work area: the monitor nearest to it gives that
// work area. The window system keeps a moved window's corner within
// -32768..32767, so each coordinate is held to that range. nullopt when
// either coordinate is kUnsetPosition: a centred window stays on its monitor.
std::optional<TRect32> StoredWindowRect(const TWindowPosition& stored, const TRect32& window);

// The window's final rectangle, of the size of `window`. Centred in `work`
// when either coordinate is kUnsetPosition, else at the stored corner; then
// pulled into `work` by four clamps in this order: left edge, bottom edge,
// right edge, top edge. So a window taller than the work area ends with its
// top edge on the work area's, and a wider one with its right edge on it.
TRect32 PlacedWindowRect(const TWindowPosition& stored, const TRect32& window, const TRect32& work);
