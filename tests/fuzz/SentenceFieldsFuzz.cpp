// Any bytes as a sentence: split, checksum and trims, each against a plain
// restatement of its rules.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/SentenceFields.h"

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ModelChecksumOk(std::string_view s) {
    const std::size_t star = s.find('*');
    if (star == std::string_view::npos) return false;
    unsigned x = 0;
    for (std::size_t i = 1; i < star; ++i) x ^= static_cast<unsigned char>(s[i]);
    const std::string_view written = TrimBytes(s.substr(star + 1, 2));
    unsigned v = 0;
    for (char c : written) {
        if (HexDigit(c) < 0) return x == 0;
        v = v * 16 + static_cast<unsigned>(HexDigit(c));
    }
    return v == x;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view sentence(reinterpret_cast<const char*>(data), size);
    const SentenceFields fields = SplitSentence(sentence);
    if (fields.Count < 1 || fields.Count > kFieldCount) __builtin_trap();
    // The fields before the last one, joined by commas, are the sentence's start.
    std::size_t pos = 0;
    for (int i = 0; i + 1 < fields.Count; ++i) {
        const std::string_view f = fields.Field[static_cast<std::size_t>(i)];
        if (f.find(',') != std::string_view::npos || sentence.substr(pos, f.size()) != f) __builtin_trap();
        pos += f.size();
        if (sentence[pos] != ',') __builtin_trap();
        ++pos;
    }
    const std::string_view rest = sentence.substr(pos);
    const std::string_view last = fields.Field[static_cast<std::size_t>(fields.Count - 1)];
    if (last != rest.substr(0, rest.find('*'))) __builtin_trap();
    if (fields.Count < kFieldCount && rest.find(',') != std::string_view::npos) __builtin_trap();
    for (int i = fields.Count; i < kFieldCount; ++i)
        if (!fields.Field[static_cast<std::size_t>(i)].empty()) __builtin_trap();
    if (ChecksumOk(sentence) != ModelChecksumOk(sentence)) __builtin_trap();
    const std::string_view trimmed = TrimBytes(sentence);
    if (!trimmed.empty() &&
        (static_cast<unsigned char>(trimmed.front()) <= 0x20 || static_cast<unsigned char>(trimmed.back()) <= 0x20))
        __builtin_trap();
    return 0;
}
