// libFuzzer target: one whole import per input, in this process, against
// the reference host's PCB module, recognition included. Besides what the
// sanitizers catch, an input fails when the run breaks what every import
// promises: at most one corruption message, a corruption message only on a
// failed run, no call the host refused, the progress finished once, and no
// run left active.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

#include "Document.h"
#include "HostSession.h"
#include "Module.h"
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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
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
  return 0;
}
