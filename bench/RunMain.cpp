// pcb9-benchrun COMMAND [ARGS...]: runs the command with its output sent to
// /dev/null and prints "WALL_SECONDS MAX_RSS_KB EXIT_CODE CPU_SECONDS" for
// it: the whole process's wall time, peak resident memory and processor time
// (user and system), as the benchmark script tabulates them. On a shared
// machine the processor time is the steadier of the two times.
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: pcb9-benchrun COMMAND [ARGS...]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("pcb9-benchrun: fork");
    return 2;
  }
  if (child == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) < 0) {
    std::perror("pcb9-benchrun: wait4");
    return 2;
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  const int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  std::printf("%.4f %ld %d %.4f\n", wall.count(), usage.ru_maxrss, exitCode,
              seconds(usage.ru_utime) + seconds(usage.ru_stime));
  return 0;
}
