#pragma once
// Imports of damaged and adversarial files as the host makes them
// (recognition included), and what the tests hold every such import to.
#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace pcb9test {

// The bytes of an example board as the build assembled it.
std::string ExampleBytes(const std::string& name);

// Word index of the end tag (the last word 0xA200 of the file).
size_t EndTagWord(const std::string& bytes);

// The board's members but rules, each as kind, position and name or text:
// what identifies a record's object across two imports.
std::vector<std::string> BoardRecords();

struct TImportOutcome {
  bool Recognised = false;
  bool Result = false;
  size_t CorruptionMessages = 0;
  int64_t TokenReads = 0;   // the reader's work
  size_t HostObjects = 0;   // objects the host document holds afterwards
  bool RunLeftActive = false;
};

// Resets the host, writes the bytes to a file in the folder and imports it
// into the host's board as the host does: recognition first.
TImportOutcome ImportBytes(const TTempDir& dir, const std::string& bytes);

// The same word at `index` replaced, little-endian.
std::string WithWord(std::string bytes, size_t index, uint16_t word);

}  // namespace pcb9test
