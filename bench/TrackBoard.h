#pragma once
// A version 2.80 board of free top-layer tracks in token text, for the
// benchmarks.
#include <cstdint>
#include <string>

namespace pcb9bench {

inline std::string TrackBoard(int64_t tracks) {
  std::string text = "\"PCB FILE 9 VERSION 2.80\"\nlong 0 " + std::to_string(tracks) +
                     " 0 0 0 0 0 0 0 0\n\"TN\"\nattr 6 1\nattr 7 10mil\n";
  for (int64_t i = 0; i < tracks; ++i)
    text += "coord " + std::to_string(i * 10) + " " + std::to_string(i * 7) + " " +
            std::to_string(i * 10 + 500) + " " + std::to_string(i * 7 + 300) + "\nword 0 0\n";
  return text + "end\n";
}

}  // namespace pcb9bench
