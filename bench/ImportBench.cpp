// Import speed of track boards of growing size, in this process, against
// the reference host's document. Reports tracks per second; the host's own
// storage is part of what is measured, as it is in the editor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Document.h"
#include "HostSession.h"
#include "Module.h"
#include "TokenAsm.h"
#include "TrackBoard.h"
#include "client/ClientServices.h"
#include "entry/Driver.h"
#include "platform/Platform.h"

namespace {

void ImportTracks(benchmark::State& state) {
  const int64_t tracks = state.range(0);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("pcb9_bench_" + std::to_string(tracks) + ".PCB"))
          .string();
  pcb9::tokenasm::WriteBytesFile(path, pcb9::tokenasm::AssembleText(pcb9bench::TrackBoard(tracks)));
  pcb9::platform::BindHostServices(pcb9::platform::MainModule());
  pcb9::BindClientApi(pcb9::platform::MainModule());
  for (auto _ : state) {
    state.PauseTiming();
    morvik::ResetModule();
    pcb9host::THostSession::Instance().Reset();
    state.ResumeTiming();
    bool ok = pcb9::RunImport(path, static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle()));
    benchmark::DoNotOptimize(ok);
  }
  state.SetItemsProcessed(state.iterations() * tracks);
  std::remove(path.c_str());
}

BENCHMARK(ImportTracks)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
