#pragma once
// One import run from start to end: the run's objects, the header, the
// record loop with its dispatch by keyword, the post-load sequence and the
// user's abort.
#include <cstdint>
#include <string_view>

#include "run/Abort.h"  // the run's abort check, for the driver's users

namespace pcb9 {

// Runs the import of a recognised file into the board; true when the end of
// the data was reached and every post-load step ran.
bool RunImport(std::string_view fileName, int32_t boardHandle);
// Whether an import run is under way (from its start until its teardown).
bool ImportRunActive();
// Frees whatever an interrupted run still holds (after an exception left
// it), closes the file and finishes the progress display. Safe to call when
// no run is active.
void TearDownRun();
// Tells the user that the import of `fileName` stopped for want of memory
// (after the run was torn down, which frees what it held); what was loaded
// stays on the board.
void ReportOutOfMemory(std::string_view fileName);

}  // namespace pcb9
