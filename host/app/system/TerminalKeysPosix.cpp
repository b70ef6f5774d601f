// The user's keys during an import on a POSIX terminal: standard input in
// non-canonical mode without echo, read without waiting whenever the
// importer drains the host's message queue, and Ctrl-C caught by a handler
// that only sets a flag. Whatever way the program leaves, the terminal gets
// its own settings back: the end of the watch, exit(), and a signal that
// ends or stops the program.
#include <cctype>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cstdlib>

#include "HostSystem.h"
#include "Terminal.h"

namespace pcb9host::hostsystem {

namespace {

constexpr char kEsc = 0x1B;

// Signals whose default ends the program: the terminal is restored first.
constexpr std::array kEndingSignals = {SIGTERM, SIGHUP, SIGQUIT, SIGABRT,
                                       SIGSEGV, SIGBUS, SIGFPE,  SIGILL};

// Shared with the signal handlers, so plain and async-signal-safe.
volatile sig_atomic_t Interrupted = 0;
volatile sig_atomic_t RawApplied = 0;
termios Saved{}, Raw{};

struct TWatch {
  bool On = false;
  bool Paused = false;
  bool Terminal = false;  // standard input is a terminal we changed
  struct sigaction OldInterrupt{}, OldStop{};
  std::array<struct sigaction, kEndingSignals.size()> OldEnding{};
};

TWatch& Watch() {
  static TWatch watch;
  return watch;
}

void RestoreTerminal() {
  if (RawApplied) tcsetattr(STDIN_FILENO, TCSANOW, &Saved);
  RawApplied = 0;
}

void ApplyRaw() {
  if (tcsetattr(STDIN_FILENO, TCSANOW, &Raw) == 0) RawApplied = 1;
}

void OnInterrupt(int) { Interrupted = 1; }

// SA_RESETHAND has put the default back: once the handler returns, the
// signal raised again ends the program as it would have.
void OnEnding(int signal) {
  RestoreTerminal();
  raise(signal);
}

// Ctrl-Z: the shell gets its terminal as it was; on SIGCONT the program
// resumes here and takes the keys again.
void OnStop(int) {
  const bool wasRaw = RawApplied;
  RestoreTerminal();
  struct sigaction stop{}, mine{};
  stop.sa_handler = SIG_DFL;
  sigaction(SIGTSTP, &stop, &mine);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTSTP);
  sigprocmask(SIG_UNBLOCK, &set, nullptr);
  raise(SIGTSTP);
  sigaction(SIGTSTP, &mine, nullptr);
  if (wasRaw) ApplyRaw();
}

void Install(int signal, void (*handler)(int), int flags, struct sigaction* old) {
  struct sigaction action{};
  action.sa_handler = handler;
  action.sa_flags = flags;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, old);
}

void CatchInterrupt(bool on) {
  TWatch& w = Watch();
  if (on)
    Install(SIGINT, &OnInterrupt, SA_RESTART, &w.OldInterrupt);
  else
    sigaction(SIGINT, &w.OldInterrupt, nullptr);
}

// An Esc on its own; an Esc followed by '[' or 'O' starts the sequence of a
// cursor or function key.
// Sorts what was typed: a lone Esc is the abort key; an escape sequence
// (a cursor key: Esc, '[' or 'O', parameters, a final letter or '~') is
// dropped; every other key is kept for the questions that follow.
bool SortKeys(const char* bytes, ssize_t count) {
  bool esc = false;
  for (ssize_t i = 0; i < count; ++i) {
    if (bytes[i] != kEsc) {
      KeepTypedAhead(bytes[i]);
    } else if (i + 1 == count || (bytes[i + 1] != '[' && bytes[i + 1] != 'O')) {
      esc = true;
    } else {
      for (i += 2; i < count && !std::isalpha(static_cast<unsigned char>(bytes[i])) && bytes[i] != '~';)
        ++i;
    }
  }
  return esc;
}

// A program in the background of its terminal would be stopped by the
// system for changing or reading it: the keys there are the shell's.
void StartRaw(TWatch& w) {
  if (!isatty(STDIN_FILENO) || tcgetpgrp(STDIN_FILENO) != getpgrp() ||
      tcgetattr(STDIN_FILENO, &Saved) != 0)
    return;
  static const bool registered = std::atexit(&RestoreTerminal) == 0;
  (void)registered;
  Raw = Saved;
  Raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  Raw.c_cc[VMIN] = 0;
  Raw.c_cc[VTIME] = 0;
  w.Terminal = true;
  for (size_t i = 0; i < kEndingSignals.size(); ++i)
    Install(kEndingSignals[i], &OnEnding, SA_RESETHAND, &w.OldEnding[i]);
  Install(SIGTSTP, &OnStop, SA_RESTART, &w.OldStop);
  ApplyRaw();
}

void StopRaw(TWatch& w) {
  if (!w.Terminal) return;
  RestoreTerminal();
  for (size_t i = 0; i < kEndingSignals.size(); ++i)
    sigaction(kEndingSignals[i], &w.OldEnding[i], nullptr);
  sigaction(SIGTSTP, &w.OldStop, nullptr);
  w.Terminal = false;
}

}  // namespace

int TerminalColumns(std::FILE* stream) {
  winsize size{};
  if (ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

void WatchKeys(bool on) {
  TWatch& w = Watch();
  if (on == w.On) return;
  if (on) {
    Interrupted = 0;
    StartRaw(w);
    CatchInterrupt(true);
  } else {
    if (!w.Paused) CatchInterrupt(false);
    StopRaw(w);
  }
  w.On = on;
  w.Paused = false;
}

void PauseKeys(bool paused) {
  TWatch& w = Watch();
  if (!w.On || paused == w.Paused) return;
  w.Paused = paused;
  CatchInterrupt(!paused);
  if (!w.Terminal) return;
  if (paused) {
    RestoreTerminal();
  } else {
    tcflush(STDIN_FILENO, TCIFLUSH);  // what was typed with the question is no key
    ApplyRaw();
  }
}

bool TakeAbortKey() {
  TWatch& w = Watch();
  bool pressed = Interrupted != 0;
  Interrupted = 0;
  if (!w.On || w.Paused || !w.Terminal) return pressed;
  char bytes[64];
  for (ssize_t n; (n = read(STDIN_FILENO, bytes, sizeof bytes)) > 0;)
    pressed = SortKeys(bytes, n) || pressed;
  return pressed;
}

}  // namespace pcb9host::hostsystem
