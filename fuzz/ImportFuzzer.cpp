// libFuzzer target: one whole import per input, in this process, against
// the reference host's PCB module, recognition included. Besides what the
// sanitizers catch, an input fails when the run breaks what every import
// promises: at most one corruption message, a corruption message only on a
// failed run, no call the host refused, the progress finished once, and no
// run left active. Then the host's writers run on what the import left, in
// memory, and each output must be well formed: the SVG picture (XML), the
// KiCad board (balanced, one name per net) and the JSON dump.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "Document.h"
#include "Dump.h"
#include "HostSession.h"
#include "KicadReport.h"
#include "KicadWriter.h"
#include "Module.h"
#include "OutputChecks.h"
#include "SvgWriter.h"
#include "client/ClientServices.h"
#include "entry/Driver.h"
#include "entry/Recognition.h"
#include "platform/Platform.h"

namespace {

std::string BoardPath;

void Fail(const char* what) {
  std::fprintf(stderr, "pcb9 import fuzzer: %s\n", what);
  std::abort();
}

void ResetHost() {
  morvik::ResetModule();
  pcb9host::THostSession& session = pcb9host::THostSession::Instance();
  session.Reset();
  // Nobody sits at a terminal: a shown rule dialog is taken as prepared.
  session.SetDialogTerminal(nullptr, nullptr);
  pcb9::platform::BindHostServices(pcb9::platform::MainModule());
  pcb9::BindClientApi(pcb9::platform::MainModule());
}

void WriteBoard(const uint8_t* data, size_t size) {
  std::ofstream file(BoardPath, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

size_t CorruptionMessages() {
  constexpr std::string_view kCorruption = "File Corruption: ";
  size_t count = 0;
  for (const auto& message : pcb9host::THostSession::Instance().Messages())
    if (std::string_view(message.Text).starts_with(kCorruption)) ++count;
  return count;
}

void CheckRun(bool recognised, bool result) {
  if (pcb9::ImportRunActive()) Fail("the run is still active after the import");
  const size_t corruption = CorruptionMessages();
  if (corruption > 1) Fail("more than one corruption message");
  if (result && corruption != 0) Fail("a corruption message on a successful import");
  if (!morvik::HostErrors().empty()) Fail("the host refused a call");
  if (recognised && morvik::Progress().Finished != 1) Fail("the progress was not finished once");
}

void CheckOutput(bool wellFormed, const std::string& why) {
  if (!wellFormed) Fail(why.c_str());
}

// The writers of pcb9-host in its order (the dump last, holding the KiCad
// report), each into memory.
void CheckOutputs(bool recognised, bool result, int32_t board) {
  std::string why;
  CheckOutput(pcb9fuzz::XmlWellFormed(pcb9host::BoardSvg(), why), "SVG: " + why);
  pcb9host::TKicadReport report;
  CheckOutput(pcb9fuzz::KicadWellFormed(pcb9host::KicadBoardText(report), why), "KiCad: " + why);
  pcb9host::TImportOutcome outcome;
  outcome.Recognised = recognised;
  if (recognised) outcome.Result = result;
  outcome.Board = static_cast<uint32_t>(board);
  outcome.Kicad = pcb9host::KicadReportJson(report);
  outcome.KicadText = pcb9host::KicadReportText(report);
  std::ostringstream json;
  try {
    pcb9host::WriteImportDump(json, pcb9host::DumpSections(outcome));
  } catch (const nlohmann::json::exception& e) {
    Fail((std::string("JSON: the dump cannot be made: ") + e.what()).c_str());
  }
  CheckOutput(pcb9fuzz::JsonWellFormed(json.str(), why), "JSON: " + why);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The output checks must tell good from bad before they judge anything.
  if (const std::string sample = pcb9fuzz::MisjudgedSample(); !sample.empty())
    Fail(("an output check misjudges its sample: " + sample).c_str());
  // Each fuzzing process writes its board (and any report beside it) in a
  // folder of its own, in memory where the system has such a folder: every
  // input is written and read back twice.
  char memoryFolder[] = "/dev/shm/pcb9-fuzz-XXXXXX";
  char diskFolder[] = "/tmp/pcb9-fuzz-XXXXXX";
  const char* folder = mkdtemp(memoryFolder);
  if (!folder) folder = mkdtemp(diskFolder);
  if (!folder) Fail("cannot make a temporary folder");
  BoardPath = std::string(folder) + "/board.PCB";
  std::atexit([] {
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(BoardPath).parent_path(), error);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ResetHost();
  WriteBoard(data, size);
  morvik::SetBoardFileName(BoardPath);
  const auto board = static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle());
  const bool recognised = pcb9::IsRecognisedFile(BoardPath);
  const bool result = pcb9::ImportRecognisedFile(BoardPath, board);
  if (!recognised && result) Fail("an unrecognised file was imported");
  CheckRun(recognised, result);
  CheckOutputs(recognised, result, board);
  return 0;
}
