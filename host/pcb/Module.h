#pragma once
// What the reference host application sees of its PCB module beyond the
// PcbApi_ functions: the progress record, an observer of progress steps, the
// current editor window, the process commands received and the calls the
// module refused.
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

// The window PcbApi_GetCurrentEditorWindow answers with: the application's
// own once it has made one (SetEditorWindow), a placeholder before.
void* EditorWindow();
void SetEditorWindow(void* window);
// A process command received through PcbApi_SendCommand.
struct TSentCommand {
  std::string Command;
  std::string Parameters;  // the zero-terminated text within the given length
};
const std::vector<TSentCommand>& SentCommands();

// A call the module refused (a query on a handle of another kind, an unknown
// handle, a repeated add, an iterator kind it does not have, ...): nothing
// was changed and the call answered with a failure.
struct THostError {
  std::string Call;  // the PcbApi_ function's name
  uint32_t Handle = 0;
  std::string Why;
};
const std::vector<THostError>& HostErrors();

// The board's file name (BoardInfo value 2): the host names a new board
// after the file it imports into it.
void SetBoardFileName(const std::string& path);

// Resets the document, the progress record, the command log and the refused
// calls.
void ResetModule();

}  // namespace morvik
