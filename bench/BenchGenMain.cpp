// pcb9-benchgen MIX OBJECTS LEVEL OUT.PCB: writes a synthetic board for the
// import benchmarks (bench/BoardGen.h) and prints how many objects it holds.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "BoardGen.h"
#include "TokenAsm.h"

int main(int argc, char** argv) {
  using namespace pcb9::bench;
  if (argc != 5) {
    std::fprintf(stderr,
                 "usage: pcb9-benchgen realistic|pads-same|pads-distinct|nets-distinct "
                 "OBJECTS LEVEL OUT.PCB\n");
    return 2;
  }
  const TBoardMixName* mix = nullptr;
  for (const TBoardMixName& m : kBoardMixes)
    if (m.Name == argv[1]) mix = &m;
  try {
    if (!mix) throw std::invalid_argument(std::string("unknown mix ") + argv[1]);
    TGeneratedBoard board =
        GenerateBoard(mix->Mix, std::stoll(argv[2]), static_cast<int16_t>(std::stoi(argv[3])));
    pcb9::tokenasm::WriteBytesFile(argv[4], board.Bytes);
    std::printf("%s: %s, %lld objects, level %s, %zu bytes\n", argv[4], argv[1],
                static_cast<long long>(board.Objects), argv[3], board.Bytes.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pcb9-benchgen: %s\n", e.what());
    return 2;
  }
  return 0;
}
