// A log held in memory, for tests, benchmarks and fuzzing: opens under its own
// name (or any name when it has none) and can fail its reads on request.
#pragma once

#include <algorithm>
#include <string>

#include "engine/LogReader.h"
#include "engine/UserError.h"

class TMemorySource : public IByteSource {
public:
    explicit TMemorySource(std::string bytes, std::wstring name = L"", int failAfterReads = -1)
        : FBytes(std::move(bytes)), FName(std::move(name)), FFailAfter(failAfterReads) {}

    bool Open(std::wstring_view name) override {
        FPos = 0;
        return FName.empty() || name == FName;
    }
    std::int64_t Size() override { return static_cast<std::int64_t>(FBytes.size()); }
    std::size_t Read(char* buffer, std::size_t size) override {
        if (FFailAfter >= 0 && FReads++ >= FFailAfter) throw TUserError(L"read failed");
        const std::size_t n = std::min(size, FBytes.size() - FPos);
        FBytes.copy(buffer, n, FPos);
        FPos += n;
        return n;
    }
    void Reopen() override { FPos = 0; }
    void Close() override { ++Closes; }

    int Closes = 0;

private:
    std::string FBytes;
    std::wstring FName;
    int FFailAfter;
    int FReads = 0;
    std::size_t FPos = 0;
};
