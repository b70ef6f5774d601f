#include "Child.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "TempDir.h"

namespace pcb9test {

namespace {

void Redirect(const char* path, int fd, int flags) {
  int file = open(path, flags, 0600);
  if (file >= 0) {
    dup2(file, fd);
    close(file);
  }
}

TChildOutcome Fork(const std::function<void()>& child) {
  TTempDir dir;
  const std::string out = dir.File("stdout"), err = dir.File("stderr");
  std::cout.flush();
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    Redirect("/dev/null", STDIN_FILENO, O_RDONLY);
    Redirect(out.c_str(), STDOUT_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
    Redirect(err.c_str(), STDERR_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
    child();
    _exit(127);
  }
  TChildOutcome outcome;
  // The process's name as it ended, read while it waits to be reaped.
  siginfo_t ended{};
  if (pid > 0 && waitid(P_PID, static_cast<id_t>(pid), &ended, WEXITED | WNOWAIT) == 0) {
    outcome.NameAtExit = ReadFileBytes("/proc/" + std::to_string(pid) + "/comm");
    if (!outcome.NameAtExit.empty() && outcome.NameAtExit.back() == '\n') outcome.NameAtExit.pop_back();
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    outcome.ExitCode = WEXITSTATUS(status);
  outcome.Out = ReadFileBytes(out);
  outcome.Err = ReadFileBytes(err);
  return outcome;
}

}  // namespace

TChildOutcome RunInChild(const std::function<int()>& body) {
  return Fork([&] {
    const int code = body();
    std::cout.flush();
    std::fflush(nullptr);
    _exit(code);
  });
}

namespace {

std::vector<char*> Pointers(const std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (const std::string& t : texts) pointers.push_back(const_cast<char*>(t.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

TChildOutcome RunProgram(const std::vector<std::string>& argv,
                         const std::function<void()>& prepare) {
  return Fork([&] {
    if (prepare) prepare();
    execv(argv[0].c_str(), Pointers(argv).data());
  });
}

TChildOutcome RunProgramIn(const std::string& folder, const std::vector<std::string>& argv,
                           const std::vector<std::string>& env) {
  return Fork([&] {
    if (chdir(folder.c_str()) == 0) execve(argv[0].c_str(), Pointers(argv).data(), Pointers(env).data());
  });
}

void DropRoot() {
  constexpr gid_t kNobody = 65534;
  if (geteuid() != 0) return;
  if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
}

std::string BinPath(const std::string& name) { return std::string(PCB9_BIN_DIR) + "/" + name; }

}  // namespace pcb9test
