#pragma once
// Track records: five groups that differ only in how the two points are
// encoded, so that axis-parallel and 45-degree tracks need fewer words.
#include <cstdint>
#include <string_view>

namespace pcb9 {

class TPcbComponent;

enum TTrackForm : uint8_t {
  tfHorizontal = 0,
  tfVertical = 1,
  tfRisingDiagonal = 2,
  tfFallingDiagonal = 3,
  tfFree = 4,
};

// Keywords of a form's group on the board ("TH") and in a component ("th").
std::string_view TrackBoardKeyword(TTrackForm form);
std::string_view TrackComponentKeyword(TTrackForm form);

// Reads one track record and returns the handle of the new host track.
uint32_t LoadTrack(TTrackForm form);
// Reads a whole group of one form, adding each track to the component when
// one is given, else to the board.
void LoadTrackGroup(TTrackForm form, TPcbComponent* component);

}  // namespace pcb9
