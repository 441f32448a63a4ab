// Lines of a log through both RMC decodings, the direct one of the usual
// shapes and the full one, in a pre-scan and a check pass as a run makes
// them: the run states must agree to the last bit and the reports to the
// last character. Conventions, century, GLO mode and tenth counter vary with
// the input; half of the inputs get their checksums mended so that mutated
// sentences are accepted.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "engine/RmcDecode.h"

namespace {

class TRecordingReport : public ICheckEvents {
public:
    void ReportLine(std::wstring_view text) override {
        Text += text;
        Text += L'\n';
    }
    void TimeAccepted(TDateTime time, std::int64_t line) override {
        Text += std::to_wstring(Bits(time)) + L' ' + std::to_wstring(line) + L'\n';
    }
    void TimeUnread(std::int64_t line, std::string_view timeField, std::string_view dateField) override {
        Text += L"unread " + std::to_wstring(line) + L' ' + std::to_wstring(timeField.size()) + L' ' +
                std::to_wstring(dateField.size()) + L'\n';
    }
    static std::uint64_t Bits(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return bits;
    }
    std::wstring Text;
};

bool SameState(const ScanState& a, const ScanState& b) {
    const auto same = [](double x, double y) { return TRecordingReport::Bits(x) == TRecordingReport::Bits(y); };
    return same(a.CurTime, b.CurTime) && same(a.FirstTime, b.FirstTime) && same(a.PrevTime, b.PrevTime) &&
           same(a.PrevTime2, b.PrevTime2) && same(a.PrevTime3, b.PrevTime3) && same(a.CurLat, b.CurLat) &&
           same(a.CurLon, b.CurLon) && same(a.CurSpeed, b.CurSpeed) && same(a.PrevLat, b.PrevLat) &&
           same(a.PrevLon, b.PrevLon) && same(a.PrevSpeed, b.PrevSpeed) && a.SameCount == b.SameCount &&
           a.StepCount == b.StepCount && a.BackCount == b.BackCount && a.GloMode == b.GloMode &&
           a.SentenceCount == b.SentenceCount && a.PrevTimeText == b.PrevTimeText && a.TenthCounter == b.TenthCounter;
}

std::uint32_t Hash(std::string_view bytes) {
    std::uint32_t h = 2166136261u;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// The line with "*" and the checksum of what stands before its first "*".
std::string WithGoodChecksum(std::string_view line) {
    const std::string_view body = line.substr(0, line.find('*'));
    unsigned x = 0;
    for (std::size_t i = 1; i < body.size(); ++i) x ^= static_cast<unsigned char>(body[i]);
    char sum[4];
    std::snprintf(sum, sizeof sum, "*%02X", x & 0xFF);
    return std::string(body) + sum;
}

struct TRun {
    DateConventions Conventions;
    TRecordingReport Report;
    ScanState State;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::uint32_t options = Hash(input);
    std::vector<std::string> lines;
    for (std::size_t start = 0; start <= input.size() && lines.size() < 64;) {
        const std::size_t end = std::min(input.find('\n', start), input.size());
        const std::string_view line = input.substr(start, end - start);
        lines.emplace_back(options & 1 ? WithGoodChecksum(line) : std::string(line));
        start = end + 1;
    }
    static constexpr std::int32_t kOrders[][3] = {{3, 2, 1}, {1, 2, 3}, {2, 1, 3}, {1, 3, 2},
                                                  {2, 3, 1}, {3, 1, 2}, {1, 1, 3}, {0, 2, 3}};
    static constexpr wchar_t kSeparators[] = {L'/', L'.', L'-', L'1'};
    static constexpr int kYears[] = {2025, 2049, 2050, 1951, 1899, 60, 9999, 1};
    TRun runs[2];
    for (TRun& run : runs) {
        const auto& order = kOrders[(options >> 1) & 7];
        run.Conventions.DateOrder = {order[0], order[1], order[2]};
        run.Conventions.LocaleDateSeparator = kSeparators[(options >> 4) & 3];
        run.Conventions.DisplayDateFormat = L"yyyy/mm/dd";
        ScanState& s = run.State;
        s.GloMode = (options >> 6) & 1;
        s.TenthCounter = static_cast<std::int32_t>((options >> 8) & 15) - 3;
        s.FlucTime = 0.05;
        s.AlarmSameTime = s.AlarmStepChange = s.AlarmMovedBack = true;
        s.TimeDecimals = 3;
        s.IntervalFormat = L"%8.3f";
    }
    const int currentYear = kYears[(options >> 12) & 7];
    for (const ScanPass pass : {ScanPass::Prescan, ScanPass::Check}) {
        for (TRun& run : runs) {
            run.State.SentenceCount = 0;
            run.State.PrevTimeText.clear();
            run.State.FirstTime = 0.0;
        }
        for (const std::string& line : lines) {
            ProcessSentence(line, pass, runs[0].State, CheckContext{runs[0].Conventions, runs[0].Report, currentYear});
            ProcessSentenceExactly(line, pass, runs[1].State,
                                   CheckContext{runs[1].Conventions, runs[1].Report, currentYear});
            if (!SameState(runs[0].State, runs[1].State) || runs[0].Report.Text != runs[1].Report.Text)
                __builtin_trap();
        }
    }
    return 0;
}
