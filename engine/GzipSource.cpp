// A byte source that reads a gzip stream as the log it holds. The stream is
// recognised by its first two bytes, whatever the file is called; any other
// bytes pass through unchanged. zlib does the inflating; its failures become
// read errors naming the log, so a damaged archive never checks as clean.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "engine/LogReader.h"
#include "engine/UserError.h"
#include "engine/WideText.h"

namespace {

constexpr unsigned char kGzipMagic[2] = {0x1F, 0x8B};
constexpr std::size_t kInputSize = 65536;
// 15-bit window, gzip header and trailer (not zlib's own).
constexpr int kGzipWindowBits = 16 + MAX_WBITS;

class TGzipAwareSource final : public IByteSource {
public:
    explicit TGzipAwareSource(std::unique_ptr<IByteSource> inner)
        : FInner(std::move(inner)), FInput(kInputSize) {}
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

    void Close() override {
        Restart();
        FInner->Close();
    }

    std::optional<std::int64_t> CompressedBytesRead() const override {
        if (FMode != TMode::Gzip) return FInner->CompressedBytesRead();
        return FTaken - static_cast<std::int64_t>(FStream.avail_in);
    }

private:
    enum class TMode { Unknown, Plain, Gzip };

    void Restart() {
        EndInflate();
        FMode = TMode::Unknown;
        FHeld = FHeldPos = 0;
        FTaken = 0;
        FMemberEnded = false;
    }

    void EndInflate() {
        if (FInflating) inflateEnd(&FStream);
        FInflating = false;
    }

    // Reads until two bytes or the end are there; they stay held for either mode.
    void Recognise() {
        while (FHeld < 2) {
            const std::size_t n = FInner->Read(reinterpret_cast<char*>(FInput.data()) + FHeld, FInput.size() - FHeld);
            if (n == 0) break;
            FHeld += n;
        }
        FTaken = static_cast<std::int64_t>(FHeld);
        const bool gzip = FHeld >= 2 && std::equal(std::begin(kGzipMagic), std::end(kGzipMagic), FInput.begin());
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
        while (FStream.avail_out == room) {
            if (FStream.avail_in == 0 && !Refill()) {
                if (FMemberEnded) break;
                Fail(L"compressed log cut short");
            }
            if (FMemberEnded) {
                inflateReset(&FStream);
                FMemberEnded = false;
            }
            const int result = inflate(&FStream, Z_NO_FLUSH);
            if (result == Z_STREAM_END) FMemberEnded = true;
            else if (result != Z_OK) Fail(L"compressed log damaged: " + Utf8ToWide(FStream.msg ? FStream.msg : "?"));
        }
        return room - FStream.avail_out;
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
    std::wstring FName;
};

}  // namespace

std::unique_ptr<IByteSource> MakeGzipAwareSource(std::unique_ptr<IByteSource> inner) {
    return std::make_unique<TGzipAwareSource>(std::move(inner));
}
