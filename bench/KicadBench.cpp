// KiCad export speed of boards of growing size: half tracks, half free pads
// (each a footprint), on a hundred nets, made directly in the reference
// host's document. Reports objects per second; time should grow linearly.
#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

#include "Document.h"
#include "KicadWriter.h"
#include "Kinds.h"
#include "Module.h"

namespace {

using T = morvik::TFieldType;

morvik::TObject& Add(uint8_t kind) {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  morvik::TObject& object = doc.Create(kind);
  object.Container = doc.BoardHandle();
  doc.Find(doc.BoardHandle())->Lists.MutableMembers().push_back(object.Handle);
  return object;
}

void FillBoard(int64_t objects) {
  morvik::ResetModule();
  std::vector<uint32_t> nets;
  for (int n = 0; n < 100; ++n) {
    morvik::TObject& net = Add(morvik::kKindNet);
    net.Set("Name", T::Text, "N" + std::to_string(n));
    nets.push_back(net.Handle);
  }
  for (int64_t i = 0; i < objects; ++i) {
    const int64_t x = (i % 500) * 400000, y = (i / 500) * 400000;
    const int64_t net = nets[static_cast<size_t>(i % 100)];
    if (i % 2 == 0) {
      morvik::TObject& track = Add(morvik::kKindTrack);
      track.Set("Layer", T::LayerCode, int64_t{1});
      track.Set("X", T::I32, x), track.Set("Y", T::I32, y);
      track.Set("X2", T::I32, x + 300000), track.Set("Y2", T::I32, y + 200000);
      track.Set("Width", T::I32, int64_t{100000});
      track.Set("Net", T::Handle, net);
    } else {
      morvik::TObject& pad = Add(morvik::kKindPad);
      pad.Set("Layer", T::LayerCode, int64_t{74});
      pad.Set("X", T::I32, x), pad.Set("Y", T::I32, y);
      pad.Set("HoleSize", T::I32, int64_t{150000});
      pad.Set("Net", T::Handle, net);
      pad.Set("Name", T::Text, std::string("1"));
    }
  }
}

void ExportKicad(benchmark::State& state) {
  FillBoard(state.range(0));
  for (auto _ : state) {
    pcb9host::TKicadReport report;
    std::ostringstream text;
    pcb9host::WriteKicadBoard(text, report);
    benchmark::DoNotOptimize(text.tellp());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(ExportKicad)->Arg(25000)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
