// How fast the board picture is written for track boards of growing size,
// from the reference host's document after an import. Reports objects per
// second; the time per object should not grow with the board.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "Document.h"
#include "HostSession.h"
#include "Module.h"
#include "SvgWriter.h"
#include "TokenAsm.h"
#include "TrackBoard.h"
#include "client/ClientServices.h"
#include "entry/Driver.h"
#include "platform/Platform.h"

namespace {

void BoardSvgOfTracks(benchmark::State& state) {
  const int64_t tracks = state.range(0);
  const std::string path =
      (std::filesystem::temp_directory_path() / ("pcb9_svg_bench_" + std::to_string(tracks) + ".PCB"))
          .string();
  pcb9::tokenasm::WriteBytesFile(path, pcb9::tokenasm::AssembleText(pcb9bench::TrackBoard(tracks)));
  pcb9::platform::BindHostServices(pcb9::platform::MainModule());
  pcb9::BindClientApi(pcb9::platform::MainModule());
  morvik::ResetModule();
  pcb9host::THostSession::Instance().Reset();
  pcb9::RunImport(path, static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle()));
  std::remove(path.c_str());
  for (auto _ : state) {
    std::string svg = pcb9host::BoardSvg();
    benchmark::DoNotOptimize(svg);
  }
  state.SetItemsProcessed(state.iterations() * tracks);
}

BENCHMARK(BoardSvgOfTracks)->Arg(25000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
