// Any bytes as a sentence: split, checksum and trims.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/SentenceFields.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view sentence(reinterpret_cast<const char*>(data), size);
    const SentenceFields fields = SplitSentence(sentence);
    if (fields.Count < 1 || fields.Count > kFieldCount) __builtin_trap();
    for (const auto& field : fields.Field) {
        if (!field.empty() && (field.data() < sentence.data() || field.data() + field.size() > sentence.data() + size))
            __builtin_trap();  // a field always lies inside the sentence
    }
    (void)ChecksumOk(sentence);
    (void)TrimBytes(sentence);
    return 0;
}
