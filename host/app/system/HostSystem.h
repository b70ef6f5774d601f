#pragma once
// What the reference host needs of its operating system, behind one small
// interface with one file per system (HostSystemPosix.cpp,
// HostSystemWin.cpp): loading the plug-in, its own folder, terminals, local
// time, and the user interface of an import run.
#include <cstdio>
#include <ctime>
#include <string>

namespace pcb9host {

class THostSession;
struct TQueuedMessage;

namespace hostsystem {

// Backs the heap with large pages where the system allows them, in this
// process as it runs (host/app/system/Heap.cpp: the programs' allocator is
// configured before anything large is allocated). Does nothing where the
// programs keep the C library's allocator.
void UseLargePages();

// The plug-in's file name on this system.
extern const char* const kPluginFileName;
// The characters after which a path's file name starts: '/' on POSIX
// systems, where a backslash is an ordinary file name character; a
// backslash, '/' and a drive's ':' on Windows.
extern const char* const kPathSeparators;
// The folder of the running program's own file, found from the program
// itself (not its name on the command line, nor the current folder); empty,
// with `error` saying why, when the system does not tell.
std::string ProgramFolder(std::string& error);

// Null when the module cannot be loaded; `error` then says why. `path` is a
// full path: nothing is searched for.
void* LoadModule(const std::string& path, std::string& error);
void* ModuleSymbol(void* module, const char* name);
void UnloadModule(void* module);

bool IsTerminal(std::FILE* stream);
// The width of the terminal on `stream`, 80 when it does not say.
int TerminalColumns(std::FILE* stream);
bool LocalTime(std::time_t time, std::tm& local);

// The user interface of one import run. Where the importer uses the host's
// PlatformAPI_ services, they already answer and record everything and
// these have nothing to add. On Windows the importer shows real message
// boxes and its dialog: the host makes its editor window, makes the
// test-mode registry key exist when the session asks for it, and answers
// and records each box and the dialog as the session scripts it.
void BeginImportUi(THostSession& session);
void EndImportUi();
// A key press for the importer's abort check: into the session's queue, or
// into the thread's real message queue.
void QueueKey(THostSession& session, const TQueuedMessage& message);

// The user's keys during an import run. While they are watched, standard
// input, when it is a terminal, is read as it is typed (no line editing, no
// echo) and Ctrl-C is a key rather than the end of the program; the
// terminal's own settings come back on every way out: the end of the
// watch, the program's exit and a signal that ends it.
void WatchKeys(bool on);
// A question asked on the terminal reads whole lines as usual and Ctrl-C
// there ends the program.
void PauseKeys(bool paused);
// True once for each Esc or Ctrl-C pressed since the last call.
bool TakeAbortKey();

}  // namespace hostsystem
}  // namespace pcb9host
