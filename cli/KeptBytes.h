// Bytes kept to be read again from the first: in memory up to a few
// megabytes, beyond that all of them in a spool file that no name leads to,
// so that nothing stays behind however the process ends. And the first pass
// of a source that cannot go back, kept that way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

class TKeptBytes {
public:
    // Failures throw TUserError "what : name (reason)", what being keepFailure
    // for a failed write and "Cannot rewind" for a failed rewind.
    TKeptBytes(std::wstring_view keepFailure, std::wstring_view name) : FKeepFailure(keepFailure), FName(name) {}
    ~TKeptBytes() { Clear(); }
    TKeptBytes(const TKeptBytes&) = delete;
    TKeptBytes& operator=(const TKeptBytes&) = delete;

    void Append(std::string_view bytes);
    // Back to the first kept byte for Read.
    void Rewind();
    // Up to size of the kept bytes from the read position on; 0 past them.
    std::size_t Read(char* buffer, std::size_t size);
    // Forgets every byte, and the spool file with them.
    void Clear();

    // Above this, the bytes move to the spool file.
    static constexpr std::size_t kMemoryLimit = 8u << 20;

private:
    [[noreturn]] void Fail(std::wstring_view what, int code) const;
    void MoveToSpool();

    std::wstring FKeepFailure;
    std::wstring FName;
    std::string FMemory;
    std::size_t FReadPos = 0;
    std::FILE* FSpool = nullptr;
};

// For a source whose bytes cannot be read again (a stream, or a file that
// may be cut meanwhile): what the first pass reads is kept, the rewind gives
// it once more, and then the source reads on where the first pass stopped.
// One rewind only: a second throws TUserError "Cannot rewind : name (...)".
class TFirstPass {
public:
    TFirstPass(std::wstring_view keepFailure, std::wstring_view name) : FKept(keepFailure, name), FName(name) {}

    // Up to size kept bytes after the rewind; 0 when there are none (more),
    // and the source reads on.
    std::size_t Replay(char* buffer, std::size_t size);
    // Bytes the source has read: kept until the rewind.
    void Took(std::string_view bytes) {
        if (FMode == TMode::Keeping) FKept.Append(bytes);
    }
    void Rewind();
    // Forgets everything, as before the first pass.
    void Restart();

private:
    enum class TMode { Keeping, Replaying, ReadingOn };

    TKeptBytes FKept;
    std::wstring FName;
    TMode FMode = TMode::Keeping;
};
