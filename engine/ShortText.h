// A text of a few dozen characters built without touching the heap. RMC time
// and date texts are that short; only nonsense fields spill into a string.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

template <typename Char, std::size_t kInline = 64>
class TShortText {
public:
    using View = std::basic_string_view<Char>;

    void Append(View text) {
        if (FSpill.empty() && FSize + text.size() <= kInline) {
            text.copy(FInline.data() + FSize, text.size());
            FSize += text.size();
            return;
        }
        if (FSpill.empty()) FSpill.assign(FInline.data(), FSize);
        FSpill.append(text);
    }
    void Append(Char c) { Append(View(&c, 1)); }

    // Bytes widened one by one, for the wide texts built from sentence fields.
    void AppendBytes(std::string_view bytes) {
        if (FSpill.empty() && FSize + bytes.size() <= kInline) {
            for (char b : bytes) FInline[FSize++] = static_cast<Char>(static_cast<unsigned char>(b));
            return;
        }
        for (char b : bytes) Append(static_cast<Char>(static_cast<unsigned char>(b)));
    }

    View Text() const { return FSpill.empty() ? View(FInline.data(), FSize) : View(FSpill); }

private:
    std::array<Char, kInline> FInline;  // only the first FSize are set
    std::size_t FSize = 0;
    std::basic_string<Char> FSpill;
};
