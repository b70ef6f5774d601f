#include "Abort.h"

#include "platform/Platform.h"

namespace pcb9 {

bool ConfirmAbort(std::string_view text) {
  return platform::ShowMessageBox(platform::DesktopWindow(), text, "Confirm", platform::TIcon::None,
                                  platform::TButtons::YesNo) == platform::TAnswer::Yes;
}

void CheckAbort(bool& flag) {
  if (flag) return;
  platform::TMessage message;
  while (platform::TakePendingMessage(message)) {
    bool escape = (message.Message == platform::kMsgKeyDown ||
                   message.Message == platform::kMsgSysKeyDown) &&
                  message.WParam == platform::kKeyEscape;
    if (!escape) {
      platform::DeliverMessage(message);
    } else if (ConfirmAbort("Confirm Abort Process")) {
      flag = true;
    }
  }
}

}  // namespace pcb9
