// A byte source that reads a gzip stream as the log it holds. The stream is
// recognised by its first three bytes (the magic and the deflate method),
// whatever the file is called; any other bytes pass through unchanged. zlib does the inflating; its failures become
// read errors naming the log, so a damaged archive never checks as clean.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "engine/LogReader.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

constexpr unsigned char kGzipMagic[2] = {0x1F, 0x8B};
// The magic and the method byte, which gzip has only ever written as deflate.
constexpr std::size_t kMemberStartBytes = 3;
constexpr unsigned char kDeflateMethod = 8;
constexpr std::size_t kInputSize = 65536;
// 15-bit window, gzip header and trailer (not zlib's own).
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

// Whether the n bytes at p begin a gzip member. Bytes that end after the magic
// are taken as a member cut short; other methods make no gzip stream, so a
// plain log that happens to begin with the magic is read as it is.
bool StartsMember(const unsigned char* p, std::size_t n) {
    return n >= 2 && p[0] == kGzipMagic[0] && p[1] == kGzipMagic[1] && (n == 2 || p[2] == kDeflateMethod);
}

class TGzipAwareSource final : public IByteSource {
public:
    explicit TGzipAwareSource(std::unique_ptr<IByteSource> inner) : FInner(std::move(inner)), FInput(kInputSize) {}
    ~TGzipAwareSource() override { EndInflate(); }
    TGzipAwareSource(const TGzipAwareSource&) = delete;
    TGzipAwareSource& operator=(const TGzipAwareSource&) = delete;

    bool Open(std::wstring_view name) override {
        Restart();
        FName = name;
        return FInner->Open(name);
    }

    std::int64_t Size() override { return FInner->Size(); }

    std::size_t Read(char* buffer, std::size_t size) override {
        if (FMode == TMode::Unknown) Recognise();
        return FMode == TMode::Gzip ? Inflate(buffer, size) : ReadPlain(buffer, size);
    }

    // The stream is recognised again and inflated from its start.
    void Reopen() override {
        Restart();
        FInner->Reopen();
    }

    // What was found at the end stays to be asked for.
    void Close() override {
        EndInflate();
        FInner->Close();
    }

    std::optional<std::int64_t> CompressedBytesRead() const override {
        if (FMode != TMode::Gzip) return FInner->CompressedBytesRead();
        return FTaken - static_cast<std::int64_t>(FStream.avail_in);
    }

    std::int64_t TrailingBytes() const override { return FTrailingBytes; }

private:
    enum class TMode { Unknown, Plain, Gzip };

    void Restart() {
        EndInflate();
        FMode = TMode::Unknown;
        FHeld = FHeldPos = 0;
        FTaken = 0;
        FMemberEnded = FFinished = false;
        FTrailingBytes = 0;
    }

    void EndInflate() {
        if (FInflating) inflateEnd(&FStream);
        FInflating = false;
    }

    // Reads until the bytes that tell a gzip member are there, or the end; they
    // stay held for either mode.
    void Recognise() {
        while (FHeld < kMemberStartBytes) {
            const std::size_t n = FInner->Read(reinterpret_cast<char*>(FInput.data()) + FHeld, FInput.size() - FHeld);
            if (n == 0) break;
            FHeld += n;
        }
        FTaken = static_cast<std::int64_t>(FHeld);
        const bool gzip = StartsMember(FInput.data(), FHeld);
        FMode = gzip ? TMode::Gzip : TMode::Plain;
        if (gzip) StartInflate();
    }

    void StartInflate() {
        FStream = z_stream{};
        if (inflateInit2(&FStream, kGzipWindowBits) != Z_OK) Fail(L"no memory to inflate");
        FInflating = true;
        FStream.next_in = FInput.data();
        FStream.avail_in = static_cast<uInt>(FHeld);
    }

    std::size_t ReadPlain(char* buffer, std::size_t size) {
        if (FHeldPos >= FHeld) return FInner->Read(buffer, size);
        const std::size_t n = std::min(size, FHeld - FHeldPos);
        std::copy_n(FInput.begin() + static_cast<std::ptrdiff_t>(FHeldPos), n, buffer);
        FHeldPos += n;
        return n;
    }

    // At least one byte, or 0 at the clean end of the last member. Members
    // written one after another (gzip a >x; gzip b >>x) read as one log.
    std::size_t Inflate(char* buffer, std::size_t size) {
        const auto room = static_cast<uInt>(std::min<std::size_t>(size, UINT_MAX));
        FStream.next_out = reinterpret_cast<Bytef*>(buffer);
        FStream.avail_out = room;
        while (FStream.avail_out == room && !FFinished) {
            if (FMemberEnded) {
                if (!MemberFollows()) {
                    FFinished = true;
                    break;
                }
                inflateReset(&FStream);
                FMemberEnded = false;
            }
            if (FStream.avail_in == 0 && !Refill()) Fail(L"compressed log cut short");
            const int result = inflate(&FStream, Z_NO_FLUSH);
            if (result == Z_STREAM_END) FMemberEnded = true;
            else if (result != Z_OK) Fail(L"compressed log damaged: " + Utf8ToWide(FStream.msg ? FStream.msg : "?"));
        }
        return room - FStream.avail_out;
    }

    // After a member: true when another one begins. Anything else is what
    // gzip ignores too: zeros that pad the file to a block, or other bytes,
    // which are counted for a note.
    bool MemberFollows() {
        Lookahead(kMemberStartBytes);
        if (FStream.avail_in == 0) return false;
        if (StartsMember(FStream.next_in, FStream.avail_in)) return true;
        bool zerosOnly = true;
        std::int64_t count = 0;
        do {
            zerosOnly = zerosOnly && std::all_of(FStream.next_in, FStream.next_in + FStream.avail_in,
                                                 [](unsigned char b) { return b == 0; });
            count += FStream.avail_in;
            FStream.avail_in = 0;
        } while (Refill());
        FTrailingBytes = zerosOnly ? 0 : count;
        return false;
    }

    // Reads on until n input bytes are there or the compressed bytes end.
    void Lookahead(std::size_t n) {
        while (FStream.avail_in < n) {
            std::memmove(FInput.data(), FStream.next_in, FStream.avail_in);
            FStream.next_in = FInput.data();
            const std::size_t got = FInner->Read(reinterpret_cast<char*>(FInput.data()) + FStream.avail_in,
                                                 FInput.size() - FStream.avail_in);
            if (got == 0) return;
            FTaken += static_cast<std::int64_t>(got);
            FStream.avail_in += static_cast<uInt>(got);
        }
    }

    // False at the end of the compressed bytes.
    bool Refill() {
        const std::size_t n = FInner->Read(reinterpret_cast<char*>(FInput.data()), FInput.size());
        FTaken += static_cast<std::int64_t>(n);
        FStream.next_in = FInput.data();
        FStream.avail_in = static_cast<uInt>(n);
        return n > 0;
    }

    [[noreturn]] void Fail(const std::wstring& what) const {
        throw TUserError(L"Read error : " + FName + L" (" + what + L")");
    }

    std::unique_ptr<IByteSource> FInner;
    std::vector<unsigned char> FInput;
    std::size_t FHeld = 0;
    std::size_t FHeldPos = 0;
    std::int64_t FTaken = 0;
    TMode FMode = TMode::Unknown;
    z_stream FStream{};
    bool FInflating = false;
    bool FMemberEnded = false;
    bool FFinished = false;  // the last member has ended
    std::int64_t FTrailingBytes = 0;
    std::wstring FName;
};

}  // namespace

std::unique_ptr<IByteSource> MakeGzipAwareSource(std::unique_ptr<IByteSource> inner) {
    return std::make_unique<TGzipAwareSource>(std::move(inner));
}
