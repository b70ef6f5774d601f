#include "HostileBoard.h"

#include <string_view>

#include "Document.h"
#include "HostSession.h"
#include "Kinds.h"
#include "Module.h"
#include "entry/Driver.h"
#include "entry/Recognition.h"
#include "stream/TokenStream.h"
#include "support/HostFixture.h"

namespace pcb9test {

std::string ExampleBytes(const std::string& name) {
  return ReadFileBytes(std::string(PCB9_BIN_DIR) + "/../examples/" + name + ".PCB");
}

size_t EndTagWord(const std::string& bytes) {
  for (size_t word = bytes.size() / 2; word > 0; --word)
    if (static_cast<uint8_t>(bytes[2 * word - 2]) == 0x00 &&
        static_cast<uint8_t>(bytes[2 * word - 1]) == 0xA2)
      return word - 1;
  return 0;
}

std::vector<std::string> BoardRecords() {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  std::vector<std::string> records;
  for (uint32_t handle : doc.Find(doc.BoardHandle())->Lists.Members()) {
    const morvik::TObject* o = doc.Find(handle);
    if (!o || o->Kind == morvik::kKindRule) continue;
    records.push_back(std::to_string(o->Kind) + " " + std::to_string(o->Int("X")) + " " +
                      std::to_string(o->Int("Y")) + " " + o->Text("Name") + o->Text("Text"));
  }
  return records;
}

TImportOutcome ImportBytes(const TTempDir& dir, const std::string& bytes) {
  ResetHost();
  const std::string path = dir.Write("board.PCB", bytes);
  morvik::SetBoardFileName(path);
  TImportOutcome outcome;
  outcome.Recognised = pcb9::IsRecognisedFile(path);
  outcome.Result = pcb9::ImportRecognisedFile(
      path, static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle()));
  for (const auto& message : pcb9host::THostSession::Instance().Messages())
    if (std::string_view(message.Text).starts_with("File Corruption: ")) ++outcome.CorruptionMessages;
  outcome.TokenReads = outcome.Recognised ? pcb9::TokenReadsSinceOpen() : 0;
  outcome.HostObjects = morvik::TDocument::Instance().Objects().size();
  outcome.RunLeftActive = pcb9::ImportRunActive();
  return outcome;
}

std::string WithWord(std::string bytes, size_t index, uint16_t word) {
  bytes[2 * index] = static_cast<char>(word & 0xFF);
  bytes[2 * index + 1] = static_cast<char>(word >> 8);
  return bytes;
}

}  // namespace pcb9test
