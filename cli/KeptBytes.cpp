#include "cli/KeptBytes.h"

#include <algorithm>
#include <cerrno>

#include "cli/CliPlatform.h"
#include "engine/UserError.h"

void TKeptBytes::Fail(std::wstring_view what, int code) const {
    throw TUserError(std::wstring(what) + L" : " + FName + L" (" + ErrnoText(code) + L")");
}

void TKeptBytes::Append(std::string_view bytes) {
    if (FSpool == nullptr && FMemory.size() + bytes.size() > kMemoryLimit) MoveToSpool();
    if (FSpool == nullptr) {
        FMemory.append(bytes);
    } else if (std::fwrite(bytes.data(), 1, bytes.size(), FSpool) != bytes.size()) {
        Fail(FKeepFailure, errno);
    }
}

void TKeptBytes::Rewind() {
    FReadPos = 0;
    if (FSpool != nullptr && std::fseek(FSpool, 0, SEEK_SET) != 0) Fail(L"Cannot rewind", errno);
}

std::size_t TKeptBytes::Read(char* buffer, std::size_t size) {
    if (FSpool != nullptr) {
        const std::size_t n = std::fread(buffer, 1, size, FSpool);
        if (n == 0 && std::ferror(FSpool)) Fail(L"Read error", errno);
        return n;
    }
    const std::size_t n = std::min(size, FMemory.size() - FReadPos);
    FMemory.copy(buffer, n, FReadPos);
    FReadPos += n;
    return n;
}

void TKeptBytes::Clear() {
    if (FSpool != nullptr) std::fclose(FSpool);
    FSpool = nullptr;
    std::string().swap(FMemory);
    FReadPos = 0;
}

void TKeptBytes::MoveToSpool() {
    FSpool = OpenAnonymousSpool();
    if (FSpool == nullptr) Fail(FKeepFailure, errno);
    if (std::fwrite(FMemory.data(), 1, FMemory.size(), FSpool) != FMemory.size()) Fail(FKeepFailure, errno);
    std::string().swap(FMemory);
}

std::size_t TFirstPass::Replay(char* buffer, std::size_t size) {
    if (FMode != TMode::Replaying) return 0;
    if (const std::size_t n = FKept.Read(buffer, size); n > 0) return n;
    FKept.Clear();
    FMode = TMode::ReadingOn;
    return 0;
}

void TFirstPass::Rewind() {
    if (FMode != TMode::Keeping) throw TUserError(L"Cannot rewind : " + FName + L" (" + ErrnoText(ESPIPE) + L")");
    FKept.Rewind();
    FMode = TMode::Replaying;
}

void TFirstPass::Restart() {
    FKept.Clear();
    FMode = TMode::Keeping;
}
