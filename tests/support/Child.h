#pragma once
// Running code or programs in a child process: its exit code and what it
// wrote. The child has no controlling terminal and reads from /dev/null, as
// under CI.
#include <functional>
#include <string>
#include <vector>

namespace pcb9test {

struct TChildOutcome {
  int ExitCode = -1;  // -1 when the child did not exit normally
  std::string Out;
  std::string Err;
  std::string NameAtExit;  // the process's name (comm) as it ended
};

// Runs `body` in a forked child, which exits with body's result.
TChildOutcome RunInChild(const std::function<int()>& body);
// Runs a program with these arguments (argv[0] is the program's path);
// `prepare` runs in the child just before the program starts (a limit, a
// user to run as).
TChildOutcome RunProgram(const std::vector<std::string>& argv,
                         const std::function<void()>& prepare = {});
// For a `prepare`: the child runs as the unprivileged user "nobody" when it
// runs as root, so that file permissions hold for it.
void DropRoot();
// Runs a program in `folder` with exactly the environment `env`.
TChildOutcome RunProgramIn(const std::string& folder, const std::vector<std::string>& argv,
                           const std::vector<std::string>& env);
// A program or library built by this project.
std::string BinPath(const std::string& name);

}  // namespace pcb9test
