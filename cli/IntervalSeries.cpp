#include "cli/IntervalSeries.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace {

// Cells widen only when what they hold outgrows the ring, so the times in
// use always span more than half of it: 4096 time cells stay under half a
// pixel of a picture about a thousand pixels wide, 1024 interval cells under
// a pixel of one a few hundred high. Together about 1.6 MB, whatever the log.
constexpr std::int64_t kColumnCells = TIntervalSeries::kColumnCells;
constexpr std::int64_t kRowCells = TIntervalSeries::kRowCells;
constexpr std::size_t kRowWords = kRowCells / 64;
constexpr std::size_t kColumnWords = kColumnCells / 64;
constexpr std::size_t kKinds = 3;

// 1899-12-30 (day 0) up to the end of 9999-12-31.
constexpr TDateTime kEndDay = 2958466.0;

bool Usable(TDateTime time) { return time >= 0.0 && time < kEndDay; }

// Index of a kind in the counts and marks; kKinds for a value outside the enumeration.
std::size_t KindIndex(AnomalyKind kind) {
    const auto index = static_cast<std::size_t>(kind);
    return index < kKinds ? index : kKinds;
}

std::int64_t FloorHalf(std::int64_t i) { return i >= 0 ? i / 2 : -((1 - i) / 2); }

std::size_t Slot(std::int64_t index, std::int64_t capacity) {
    return static_cast<std::size_t>(static_cast<std::uint64_t>(index) & static_cast<std::uint64_t>(capacity - 1));
}

bool BitAt(const std::vector<std::uint64_t>& bits, std::int64_t column) {
    const std::size_t slot = Slot(column, kColumnCells);
    return !bits.empty() && (bits[slot / 64] >> (slot % 64) & 1u) != 0;
}

void SetBit(std::vector<std::uint64_t>& bits, std::int64_t column) {
    const std::size_t slot = Slot(column, kColumnCells);
    bits[slot / 64] |= std::uint64_t{1} << (slot % 64);
}

std::size_t MarkWord(std::size_t kind, std::int64_t column) {
    return (kind * kColumnCells + Slot(column, kColumnCells)) * kRowWords;
}

// Calls visit(row) for each bit set in the row words of one time cell, in
// slot order; rows count from the cell in use at loRow.
template <typename Visit>
void ForEachRow(const std::uint64_t* words, std::int64_t loRow, Visit visit) {
    const std::size_t loSlot = Slot(loRow, kRowCells);
    for (std::size_t w = 0; w < kRowWords; ++w) {
        for (std::uint64_t set = words[w]; set != 0; set &= set - 1) {
            const std::size_t slot = w * 64 + static_cast<std::size_t>(std::countr_zero(set));
            visit(loRow + static_cast<std::int64_t>((slot - loSlot) & (kRowCells - 1)));
        }
    }
}

constexpr double kInf = std::numeric_limits<double>::infinity();

}  // namespace

bool TIntervalSeries::TCells::Fits(double value, std::int64_t capacity, std::int64_t& index) const {
    index = static_cast<std::int64_t>(std::floor(value / Width));
    if (Lo > Hi) return true;
    return std::max(Hi, index) - std::min(Lo, index) < capacity;
}

void TIntervalSeries::TCells::Use(std::int64_t index) {
    if (Lo > Hi) {
        Lo = Hi = index;
    } else {
        Lo = std::min(Lo, index);
        Hi = std::max(Hi, index);
    }
}

std::int64_t TIntervalSeries::TakeColumn(double offsetSeconds) {
    std::int64_t index = 0;
    while (!FColumns.Fits(offsetSeconds, kColumnCells, index)) WidenColumns();
    FColumns.Use(index);
    return index;
}

std::int64_t TIntervalSeries::TakeRow(double seconds) {
    std::int64_t index = 0;
    while (!FRows.Fits(seconds, kRowCells, index)) WidenRows();
    FRows.Use(index);
    return index;
}

// Pairs of time cells become one cell of twice the width.
void TIntervalSeries::WidenColumns() {
    const TCells old = FColumns;
    FColumns.Width *= 2.0;
    FColumns.Lo = FloorHalf(old.Lo);
    FColumns.Hi = FloorHalf(old.Hi);
    if (old.Lo > old.Hi) return;
    if (!FBuckets.empty()) {
        std::vector<TBucket> wider(FBuckets.size(), TBucket{kInf, -kInf});
        for (std::int64_t i = old.Lo; i <= old.Hi; ++i) {
            const TBucket& from = FBuckets[Slot(i, kColumnCells)];
            TBucket& to = wider[Slot(FloorHalf(i), kColumnCells)];
            to.Min = std::min(to.Min, from.Min);
            to.Max = std::max(to.Max, from.Max);
        }
        FBuckets.swap(wider);
    }
    if (!FMarks.empty()) {
        std::vector<std::uint64_t> wider(FMarks.size(), 0);
        for (std::size_t kind = 0; kind < kKinds; ++kind) {
            for (std::int64_t i = old.Lo; i <= old.Hi; ++i) {
                const std::size_t from = MarkWord(kind, i), to = MarkWord(kind, FloorHalf(i));
                for (std::size_t w = 0; w < kRowWords; ++w) wider[to + w] |= FMarks[from + w];
            }
        }
        FMarks.swap(wider);
    }
    if (!FPauseEnds.empty()) {
        std::vector<std::uint64_t> wider(kColumnWords, 0);
        for (std::int64_t i = old.Lo; i <= old.Hi; ++i)
            if (BitAt(FPauseEnds, i)) SetBit(wider, FloorHalf(i));
        FPauseEnds.swap(wider);
    }
}

// Pairs of interval cells become one cell of twice the height.
void TIntervalSeries::WidenRows() {
    const TCells old = FRows;
    FRows.Width *= 2.0;
    FRows.Lo = FloorHalf(old.Lo);
    FRows.Hi = FloorHalf(old.Hi);
    if (old.Lo > old.Hi || FMarks.empty() || FColumns.Lo > FColumns.Hi) return;
    for (std::size_t kind = 0; kind < kKinds; ++kind) {
        for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
            std::uint64_t* words = &FMarks[MarkWord(kind, i)];
            std::array<std::uint64_t, kRowWords> bits;
            std::copy(words, words + kRowWords, bits.begin());
            std::fill(words, words + kRowWords, 0);
            ForEachRow(bits.data(), old.Lo, [&](std::int64_t row) {
                const std::size_t to = Slot(FloorHalf(row), kRowCells);
                words[to / 64] |= std::uint64_t{1} << (to % 64);
            });
        }
    }
}

void TIntervalSeries::NoteTime(TDateTime time) {
    if (!FHasAnchor) {
        FHasAnchor = true;
        FAnchor = time;
    }
    const double offset = (time - FAnchor) * kSecondsPerDay;
    FFirstOffset = std::min(FFirstOffset, offset);
    FLastOffset = std::max(FLastOffset, offset);
}

void TIntervalSeries::NoteValue(double seconds) {
    FLowSeconds = FHasValue ? std::min(FLowSeconds, seconds) : seconds;
    FHighSeconds = FHasValue ? std::max(FHighSeconds, seconds) : seconds;
    FHasValue = true;
}

void TIntervalSeries::AddTime(TDateTime time) {
    if (!Usable(time)) return;
    NoteTime(time);
    ++FTimeCount;
    if (FHasPrev) AddInterval(time, (time - FPrevTime) * kSecondsPerDay);
    FHasPrev = true;
    FPrevTime = time;
}

void TIntervalSeries::AddInterval(TDateTime time, double seconds) {
    const std::int64_t column = TakeColumn((time - FAnchor) * kSecondsPerDay);
    if (seconds > kPauseSeconds) {
        if (FPauseEnds.empty()) FPauseEnds.assign(kColumnWords, 0);
        SetBit(FPauseEnds, column);
        ++FPauseCount;
        return;
    }
    if (FBuckets.empty()) FBuckets.assign(kColumnCells, TBucket{kInf, -kInf});
    TBucket& bucket = FBuckets[Slot(column, kColumnCells)];
    bucket.Min = std::min(bucket.Min, seconds);
    bucket.Max = std::max(bucket.Max, seconds);
    NoteValue(seconds);
}

void TIntervalSeries::AddAnomaly(const TAnomaly& anomaly) {
    const std::size_t kind = KindIndex(anomaly.Kind);
    if (kind == kKinds || !Usable(anomaly.NewTime) || !Usable(anomaly.Time)) return;
    const double seconds = (anomaly.NewTime - anomaly.Time) * kSecondsPerDay;
    NoteTime(anomaly.NewTime);
    NoteValue(seconds);
    const std::int64_t column = TakeColumn((anomaly.NewTime - FAnchor) * kSecondsPerDay);
    const std::int64_t row = TakeRow(seconds);
    if (FMarks.empty()) FMarks.assign(kKinds * kColumnCells * kRowWords, 0);
    const std::size_t bit = Slot(row, kRowCells);
    FMarks[MarkWord(kind, column) + bit / 64] |= std::uint64_t{1} << (bit % 64);
    ++FAnomalyCounts[kind];
}

std::int64_t TIntervalSeries::AnomalyCount(AnomalyKind kind) const {
    const std::size_t index = KindIndex(kind);
    return index < kKinds ? FAnomalyCounts[index] : 0;
}

std::vector<TTimeCell> TIntervalSeries::Cells() const {
    std::vector<TTimeCell> cells;
    if (FColumns.Lo <= FColumns.Hi) cells.reserve(static_cast<std::size_t>(FColumns.Hi - FColumns.Lo + 1));
    for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
        const TBucket bucket = FBuckets.empty() ? TBucket{kInf, -kInf} : FBuckets[Slot(i, kColumnCells)];
        cells.push_back(
            {(static_cast<double>(i) + 0.5) * FColumns.Width, bucket.Min, bucket.Max, BitAt(FPauseEnds, i)});
    }
    return cells;
}

void TIntervalSeries::ForEachMark(AnomalyKind kind, const std::function<void(const TMarkCell&)>& visit) const {
    const std::size_t k = KindIndex(kind);
    if (FMarks.empty() || k == kKinds) return;
    for (std::int64_t i = FColumns.Lo; i <= FColumns.Hi; ++i) {
        const double offset = (static_cast<double>(i) + 0.5) * FColumns.Width;
        ForEachRow(&FMarks[MarkWord(k, i)], FRows.Lo, [&](std::int64_t row) {
            visit({offset, (static_cast<double>(row) + 0.5) * FRows.Width});
        });
    }
}
