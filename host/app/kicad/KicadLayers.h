#pragma once
// The KiCad layers of a board: its copper stack (the host's electrical
// layers in use, top to bottom, as F.Cu, In1.Cu.., B.Cu) and the fixed map of
// the other host layers to KiCad's technical and user layers.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "Document.h"
#include "KicadFormat.h"
#include "KicadReport.h"

namespace pcb9host::kicad {

constexpr unsigned kHostLayerCount = 83;  // host layer ids 0..82

class TKicadLayers {
 public:
  // `used` marks the host layer ids that objects to be written lie on.
  TKicadLayers(const morvik::TObject& board, const std::array<bool, kHostLayerCount>& used,
               TKicadReport& report);

  // The KiCad layer for an object on host layer `id`; notes in `report`
  // what has no layer of its own in KiCad.
  std::string_view Of(unsigned id, TKicadReport& report) const;
  bool IsCopper(unsigned id) const { return id < kHostLayerCount && !Copper_[id].empty(); }
  // The copper layers in stack order as host layer ids.
  const std::vector<unsigned>& Stack() const { return Stack_; }
  // Layer of a copper id ("F.Cu" ...), empty for others.
  const std::string& CopperOf(unsigned id) const { return Copper_[id < kHostLayerCount ? id : 0]; }

  // The (layers ...) list: the copper stack, then every technical and user
  // layer KiCad has.
  void Write(TSexprWriter& out) const;

 private:
  std::vector<unsigned> Stack_;
  bool ExtraInner_ = false;  // an empty inner layer that makes the count even
  std::array<std::string, kHostLayerCount> Copper_;
};

}  // namespace pcb9host::kicad
