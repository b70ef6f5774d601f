#pragma once
// The user's abort of a long import: the check every loader makes once per
// record and the question it asks.
#include <string_view>

namespace pcb9 {

// Called by loaders once per record: pumps pending window messages and asks
// the user to confirm an abort on Esc; sets `flag` when confirmed.
void CheckAbort(bool& flag);
// Asks the user a Yes/No question (owned by the desktop, caption
// "Confirm"); true for Yes.
bool ConfirmAbort(std::string_view text);

}  // namespace pcb9
