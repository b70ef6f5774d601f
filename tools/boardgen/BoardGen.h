#pragma once
// Synthetic boards for the import benchmarks: token files of a given number
// of objects (every host object the import creates counts one: tracks, arcs,
// vias, fills, pads, texts, components, nets, polygons, coordinates and
// dimensions) at a given format level, in one of a few mixes.
#include <cstdint>
#include <string_view>
#include <vector>

namespace pcb9::bench {

enum class TBoardMix : uint8_t {
  Realistic,     // components with pads and silkscreen, nets, routing, planes
  PadsSame,      // pads that all carry one set of rule values
  PadsDistinct,  // pads whose mask and plane values all differ
  NetsDistinct,  // a net per five objects, each with its own width and via size
};

struct TBoardMixName {
  std::string_view Name;
  TBoardMix Mix;
};
inline constexpr TBoardMixName kBoardMixes[] = {
    {"realistic", TBoardMix::Realistic},
    {"pads-same", TBoardMix::PadsSame},
    {"pads-distinct", TBoardMix::PadsDistinct},
    {"nets-distinct", TBoardMix::NetsDistinct},
};

struct TGeneratedBoard {
  std::vector<uint8_t> Bytes;
  int64_t Objects = 0;  // host objects the import creates from it
};

// `objects` at least 100; `level` 7, 8 or 9.
TGeneratedBoard GenerateBoard(TBoardMix mix, int64_t objects, int16_t level);

}  // namespace pcb9::bench
