#include "engine/LogReader.h"

#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "engine/UserError.h"

namespace {

constexpr std::size_t kMaxNameLength = 259;

}  // namespace

// Sixteen bytes at a time where SSE2 is there, eight otherwise. A wider look
// (AVX2, 128 bytes at a time) was slower: most lines end within 80 bytes.
const char* TLogReader::FindLineEnd(const char* p, const char* end) {
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int hits = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr)));
        if (hits != 0) return p + __builtin_ctz(static_cast<unsigned>(hits));
        p += 16;
    }
#else
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        const std::uint64_t lf = word ^ (kOnes * '\n');
        const std::uint64_t cr = word ^ (kOnes * '\r');
        if ((((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHighs) break;
        p += 8;
    }
#endif
    while (p < end && *p != '\n' && *p != '\r') ++p;
    return p;
}

TLogReader::TLogReader(std::unique_ptr<IByteSource> source, std::size_t blockSize)
    : FSource(std::move(source)), FBuffer(blockSize > 0 ? blockSize : 1) {}

bool TLogReader::OpenLog(std::wstring_view name) {
    FBlockPos = FBlockCount = 0;
    FBytesTaken = 0;
    FLastChar = 0;
    FAtEnd = true;
    // A NUL would cut the name short at the system call and open another file.
    if (name.empty() || name.size() > kMaxNameLength || name.find(L'\0') != std::wstring_view::npos) return false;
    try {
        if (!FSource->Open(name)) return false;
        try {
            FFileBytes = FSource->Size();
        } catch (const std::exception&) {
            FSource->Close();
            return false;
        }
    } catch (const std::exception&) {
        return false;  // the caller reports every failed open the same way
    }
    FAtEnd = false;
    return true;
}

std::string_view TLogReader::ReadLineAcrossBlocks() {
    FLine.clear();
    for (;;) {
        if (FBlockPos >= FBlockCount) {
            FBlockCount = FSource->Read(FBuffer.data(), FBuffer.size());
            FBytesTaken += static_cast<std::int64_t>(FBlockCount);
            FBlockPos = 0;
            if (FBlockCount == 0) {
                FAtEnd = true;
                return FLine;
            }
        }
        const char* start = FBuffer.data() + FBlockPos;
        const char* end = FBuffer.data() + FBlockCount;
        const char* lineEnd = FindLineEnd(start, end);
        if (lineEnd == end) {
            FLine.append(start, end);
            FLastChar = end[-1];
            FBlockPos = FBlockCount;
            continue;
        }
        if (lineEnd > start) FLastChar = lineEnd[-1];
        if (PairsWithLast(*lineEnd, FLastChar)) {
            FLastChar = *lineEnd;
            FBlockPos = static_cast<std::size_t>(lineEnd - FBuffer.data()) + 1;
            continue;
        }
        PassLineEnd(lineEnd);
        if (FLine.empty()) return std::string_view(start, static_cast<std::size_t>(lineEnd - start));
        FLine.append(start, lineEnd);
        return FLine;
    }
}

void TLogReader::RewindLog() {
    FSource->Reopen();
    FAtEnd = false;
    FBlockPos = FBlockCount = 0;
    FBytesTaken = 0;
}

void TLogReader::CloseLog() { FSource->Close(); }
