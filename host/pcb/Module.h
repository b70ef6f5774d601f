#pragma once
// What the reference host application sees of its PCB module beyond the
// PcbApi_ functions: the progress record, an observer of progress steps and
// the current editor window.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace morvik {

struct TProgress {
  std::string Caption;   // last caption given to PcbApi_Percent_Init
  int32_t Total = 0;     // last total given to PcbApi_Percent_Init
  int64_t Updates = 0;   // PcbApi_Percent_Update calls
  int64_t Finished = 0;  // PcbApi_Percent_Finish calls
};

TProgress& Progress();
// Called after every PcbApi_Percent_Update with the new update count.
void SetProgressObserver(std::function<void(const TProgress&)> observer);
const std::function<void(const TProgress&)>& ProgressObserver();

// The window PcbApi_GetCurrentEditorWindow answers with.
void* EditorWindow();
// Commands sent through PcbApi_SendCommand, in order ("command|parameters").
std::vector<std::string>& SentCommands();

// Resets the document, the progress record and the command log.
void ResetModule();

}  // namespace morvik
