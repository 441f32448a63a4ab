#include "engine/LogReader.h"

#include <bit>
#include <cstdint>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FIXTALLY_X86 1
#endif

#include "engine/UserError.h"

namespace {

constexpr std::size_t kMaxNameLength = 259;

// The first CR or LF in [p, end), sixteen bytes at a time where SSE2 is
// there, eight otherwise.
const char* FindLineEndPortable(const char* p, const char* end) {
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

#ifdef FIXTALLY_X86
// The CR and LF bytes among the 64 at p, byte 0 the lowest bit.
__attribute__((target("avx2"))) std::uint64_t LineEndBits(const char* p) {
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32));
    const auto lowBits = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(low, lf), _mm256_cmpeq_epi8(low, cr))));
    const auto highBits = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(_mm256_or_si256(_mm256_cmpeq_epi8(high, lf), _mm256_cmpeq_epi8(high, cr))));
    return (std::uint64_t{highBits} << 32) | lowBits;
}

// The same for processors with AVX2, 128 bytes at a time: a sentence has at
// most 82, so the first look nearly always finds the end, and the branch on
// it goes the same way line after line.
__attribute__((target("avx2"))) const char* FindLineEndAvx2(const char* p, const char* end) {
    while (end - p >= 128) {
        const std::uint64_t low = LineEndBits(p);
        const std::uint64_t high = LineEndBits(p + 64);
        if ((low | high) != 0) return p + (low != 0 ? std::countr_zero(low) : 64 + std::countr_zero(high));
        p += 128;
    }
    return FindLineEndPortable(p, end);
}

const bool kHasAvx2 = [] {
    __builtin_cpu_init();  // this may run before the runtime's own constructors
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

}  // namespace

const char* TLogReader::FindLineEnd(const char* p, const char* end) {
#ifdef FIXTALLY_X86
    if (kHasAvx2) return FindLineEndAvx2(p, end);
#endif
    return FindLineEndPortable(p, end);
}

TLogReader::TLogReader(std::unique_ptr<IByteSource> source, std::size_t blockSize)
    : FSource(std::move(source)), FBuffer(blockSize > 0 ? blockSize : 1) {}

bool TLogReader::OpenLog(std::wstring_view name) {
    FBlockPos = FBlockCount = 0;
    FLastChar = 0;
    FAtEnd = true;
    // A NUL would cut the name short at the system call and open another file.
    if (name.empty() || name.size() > kMaxNameLength || name.find(L'\0') != std::wstring_view::npos)
        return false;
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
}

void TLogReader::CloseLog() { FSource->Close(); }
