// The plug-in's three exported functions. They copy their length-prefixed
// arguments and hand over to the importer; no exception leaves them: one
// that escapes an import run tears the run down as an abort does. One import
// runs at a time.
#include <cstdint>
#include <new>
#include <string>

#include "Driver.h"
#include "Recognition.h"
#include "platform/CallConv.h"

namespace {

// Ends a run that an exception left; false when even that failed.
bool TearDownQuietly() {
  try {
    pcb9::TearDownRun();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

extern "C" {

PCB9_PLUGIN_EXPORT uint8_t PCB9_CALL RecognisedPCBFile(const uint8_t* FileName) {
  try {
    return pcb9::IsRecognisedFile(pcb9::CopyShortStringArgument(FileName)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

PCB9_PLUGIN_EXPORT const char* PCB9_CALL GetPcbImporterDescription() {
  return pcb9::ImporterDescription();
}

PCB9_PLUGIN_EXPORT uint8_t PCB9_CALL ImportFileIntoPcb(const uint8_t* FileName, const uint8_t* Unused,
                                                int32_t BoardHandle) {
  // A host that calls back into the importer while a run waits on it (a
  // message delivered by the abort check, a message box's own loop) gets
  // false; starting a second run would tear down the one that called back.
  if (pcb9::ImportRunActive()) return 0;
  std::string fileName;
  try {
    fileName = pcb9::CopyShortStringArgument(FileName);
    const std::string unused = pcb9::CopyShortStringArgument(Unused);
    (void)unused;
    return pcb9::ImportRecognisedFile(fileName, BoardHandle) ? 1 : 0;
  } catch (const std::bad_alloc&) {
    // Memory ran out (the host's document or the run's own tables): the
    // run's tables go first, which leaves room to say so.
    if (TearDownQuietly()) {
      try {
        pcb9::ReportOutOfMemory(fileName);
      } catch (...) {
      }
    }
    return 0;
  } catch (...) {
    TearDownQuietly();
    return 0;
  }
}

}  // extern "C"
