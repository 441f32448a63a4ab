// Per-stage costs of the check: reading lines, splitting and checksums,
// decoding sentences, parsing date-time texts and the time checks.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "dates/DateTime.h"
#include "engine/CheckRun.h"
#include "engine/LogReader.h"
#include "engine/MemorySource.h"
#include "engine/RmcDecode.h"
#include "engine/SentenceFields.h"
#include "engine/TimeChecks.h"

namespace {

const std::string kRmc = "$GNRMC,123519.00,A,4807.03812,N,01131.00045,E,022.4,084.4,230394,003.1,W,A*35";
const std::string kGsv = "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74";

class TNullReport : public ICheckEvents {};

// A typical 10 Hz epoch: one RMC among five other sentences.
std::string TypicalLog(int epochs) {
    std::string log;
    for (int i = 0; i < epochs; ++i) {
        log += kRmc + "\r\n";
        for (int j = 0; j < 5; ++j) log += kGsv + "\r\n";
    }
    return log;
}

// The argument is the block size: the window's 2048 bytes, the checker's 256 KiB.
void BM_ReadLogLine(benchmark::State& state) {
    const std::string log = TypicalLog(10000);
    std::int64_t lines = 0;
    for (auto _ : state) {
        TLogReader reader(std::make_unique<TMemorySource>(log), static_cast<std::size_t>(state.range(0)));
        reader.OpenLog(L"log");
        while (!reader.AtEnd()) {
            benchmark::DoNotOptimize(reader.ReadLogLine());
            ++lines;
        }
    }
    state.SetItemsProcessed(lines);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(log.size()));
}
BENCHMARK(BM_ReadLogLine)->Arg(2048)->Arg(256 * 1024);

void BM_TrimAndMarker(benchmark::State& state) {
    const std::string line = "  " + kGsv + " ";
    for (auto _ : state) benchmark::DoNotOptimize(CandidateSentence(line, false));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_TrimAndMarker);

void BM_SplitSentence(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(SplitSentence(kRmc));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SplitSentence);

void BM_ChecksumOk(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ChecksumOk(kRmc));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChecksumOk);

void BM_ParseDateTimeText(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ParseDateTimeText(L"03/23/94 12:35:19.000", 2025));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseDateTimeText);

struct TDecodeFixture {
    DateConventions Conventions;
    TNullReport Report;
    CheckContext Context{Conventions, Report, 2025};
    ScanState State;
    TDecodeFixture() {
        Conventions.DateOrder = {3, 2, 1};
        Conventions.DisplayDateFormat = L"yyyy/mm/dd";
        State.FlucTime = 0.5;
        State.AlarmSameTime = State.AlarmStepChange = State.AlarmMovedBack = true;
        State.TimeDecimals = 1;
        State.IntervalFormat = L"%6.1f";
    }
};

void BM_ProcessSentenceRmc(benchmark::State& state) {
    TDecodeFixture f;
    f.State.AlarmSameTime = false;  // the same sentence again is no news
    for (auto _ : state) ProcessSentence(kRmc, ScanPass::Check, f.State, f.Context);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProcessSentenceRmc);

// The same sentence the full way: split, date-time text and its parse.
void BM_ProcessSentenceRmcExactly(benchmark::State& state) {
    TDecodeFixture f;
    f.State.AlarmSameTime = false;
    for (auto _ : state) ProcessSentenceExactly(kRmc, ScanPass::Check, f.State, f.Context);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProcessSentenceRmcExactly);

void BM_ProcessSentenceOther(benchmark::State& state) {
    TDecodeFixture f;
    for (auto _ : state) ProcessSentence(kGsv, ScanPass::Check, f.State, f.Context);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ProcessSentenceOther);

void BM_CheckTimes(benchmark::State& state) {
    TDecodeFixture f;
    double t = 40000.0;
    for (auto _ : state) {
        t += 0.1 / kSecondsPerDay;
        f.State.CurTime = t;
        CheckTimes(f.State, f.Context);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CheckTimes);

}  // namespace

BENCHMARK_MAIN();
