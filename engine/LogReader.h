// Turns a log file into lines of bytes: blocks of the owner's size, any mix of
// CR, LF, CR LF and LF CR line ends, and a rewind for the second pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the reader's bytes come from: the log file through the operating
// system, or memory in tests. Failures throw TUserError.
class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Opens the existing file for reading only, sharing reading and writing;
    // false on any failure (nothing stays open then).
    virtual bool Open(std::wstring_view name) = 0;
    virtual std::int64_t Size() = 0;
    // Up to size bytes; 0 at the end.
    virtual std::size_t Read(char* buffer, std::size_t size) = 0;
    // Back to the first byte.
    virtual void Reopen() = 0;
    virtual void Close() = 0;
    // For a source whose bytes are not the file's (a compressed log): the
    // file's bytes taken so far, counted against Size(); empty otherwise.
    virtual std::optional<std::int64_t> CompressedBytesRead() const { return std::nullopt; }
    // For a compressed log whose end has been read: the bytes after its last
    // member that are neither another member nor zeros padding the file,
    // which are not part of the log; 0 otherwise.
    virtual std::int64_t TrailingBytes() const { return 0; }
};

// The operating system's files (Win32 or POSIX half).
std::unique_ptr<IByteSource> MakeFileSource();
// Reads a gzip stream from inner as the log it holds, recognised by its first
// bytes whatever the name, as gzip -d reads it; any other bytes unchanged
// (engine/GzipSource.cpp).
std::unique_ptr<IByteSource> MakeGzipAwareSource(std::unique_ptr<IByteSource> inner);

class TLogReader {
public:
    // The window's reads.
    static constexpr std::size_t kDefaultBlockSize = 2048;

    // The lines do not depend on blockSize (0 counts as 1): a line end is judged
    // against the last byte taken, whichever block that came in. Compressed
    // logs are read as the log they hold.
    explicit TLogReader(std::unique_ptr<IByteSource> source = MakeGzipAwareSource(MakeFileSource()),
                        std::size_t blockSize = kDefaultBlockSize);

    // True when the log is open. False, with AtEnd set and nothing open, for
    // an empty name, a name over 259 characters, a name holding a NUL (it
    // would name another file at the system call), and any failure of the
    // source; no failure escapes.
    bool OpenLog(std::wstring_view name);
    // The next line, without its line end. The view stays valid until the
    // next call.
    std::string_view ReadLogLine() {
        // Nearly every line ends within the block and begins with text, not
        // with a CR or LF.
        if (FBlockPos < FBlockCount) {
            const char* const start = FBuffer.data() + FBlockPos;
            const char* const lineEnd = FindLineEnd(start, FBuffer.data() + FBlockCount);
            if (lineEnd > start && lineEnd < FBuffer.data() + FBlockCount) {
                PassLineEnd(lineEnd);
                return {start, static_cast<std::size_t>(lineEnd - start)};
            }
        }
        return ReadLineAcrossBlocks();
    }
    void RewindLog();
    void CloseLog();

    bool AtEnd() const { return FAtEnd; }
    std::int64_t FileBytes() const { return FFileBytes; }
    std::optional<std::int64_t> CompressedBytesRead() const { return FSource->CompressedBytesRead(); }
    std::int64_t TrailingBytes() const { return FSource->TrailingBytes(); }
    // Bytes of the log file read since the open or the rewind: the compressed
    // bytes of a compressed log.
    std::int64_t FileBytesRead() const { return CompressedBytesRead().value_or(FBytesTaken); }

private:
    // The first CR or LF in [p, end), or end.
    static const char* FindLineEnd(const char* p, const char* end);
    // A line feed right after a carriage return, or the other way round, ends nothing.
    static bool PairsWithLast(char c, char last) { return (c == '\n' && last == '\r') || (c == '\r' && last == '\n'); }
    // Moves past the CR or LF at lineEnd that ends a line; the other half of
    // a CR LF or LF CR is dropped too when it is in the block, not by a scan
    // of its own at the next call.
    void PassLineEnd(const char* lineEnd) {
        FLastChar = *lineEnd;
        FBlockPos = static_cast<std::size_t>(lineEnd - FBuffer.data()) + 1;
        if (FBlockPos < FBlockCount && PairsWithLast(FBuffer[FBlockPos], FLastChar)) FLastChar = FBuffer[FBlockPos++];
    }
    // ReadLogLine for the lines that reach the block's end or begin with a
    // CR or LF.
    std::string_view ReadLineAcrossBlocks();

    std::unique_ptr<IByteSource> FSource;
    std::vector<char> FBuffer;
    std::size_t FBlockCount = 0;
    std::size_t FBlockPos = 0;
    std::int64_t FBytesTaken = 0;  // from the source since the open or the rewind
    char FLastChar = 0;
    std::string FLine;
    bool FAtEnd = false;
    std::int64_t FFileBytes = 0;
};
