#include "cli/KeptBytes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string ReadBack(TKeptBytes& kept, std::size_t block) {
    kept.Rewind();
    std::string bytes(block, '\0'), all;
    while (const std::size_t n = kept.Read(bytes.data(), block)) all.append(bytes, 0, n);
    return all;
}

// Below the memory limit and past it, in the spool file: the same bytes,
// again after each rewind, and none after a clear.
TEST(TKeptBytes, GivesBackWhatItKeptFromTheFirstByte) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{5}, TKeptBytes::kMemoryLimit + 3}) {
        SCOPED_TRACE(size);
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
        TKeptBytes kept(L"Can't keep", L"log");
        const std::size_t half = size / 2;
        kept.Append(std::string_view(bytes).substr(0, half));
        kept.Append(std::string_view(bytes).substr(half));
        EXPECT_EQ(ReadBack(kept, 4096), bytes);
        EXPECT_EQ(ReadBack(kept, 1 << 20), bytes);
        kept.Clear();
        EXPECT_EQ(ReadBack(kept, 16), "");
    }
}

}  // namespace
