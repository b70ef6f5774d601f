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

TChildOutcome RunProgram(const std::vector<std::string>& argv,
                         const std::function<void()>& prepare) {
  return Fork([&] {
    if (prepare) prepare();
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
  });
}

void DropRoot() {
  constexpr gid_t kNobody = 65534;
  if (geteuid() != 0) return;
  if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(126);
}

std::string BinPath(const std::string& name) { return std::string(PCB9_BIN_DIR) + "/" + name; }

}  // namespace pcb9test
