// Output files on POSIX systems: the temporary file is created with
// O_CREAT|O_EXCL|O_NOFOLLOW (never through a link, mode 0666 less the
// umask) and renamed over the output, which replaces a link in the place
// rather than following it; the place is looked at with lstat.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "OutputFile.h"

namespace pcb9host::hostsystem::outputsystem {

namespace {

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

bool Identity(const std::string& path, uint64_t& device, uint64_t& number) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  device = static_cast<uint64_t>(info.st_dev);
  number = static_cast<uint64_t>(info.st_ino);
  return true;
}

std::string PlaceProblem(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return errno == ENOENT ? std::string() : Reason(errno);
  if (S_ISLNK(info.st_mode)) return "it is a symbolic link, which is not followed";
  if (S_ISDIR(info.st_mode)) return "it is a folder";
  if (!S_ISREG(info.st_mode)) return "it is not a regular file (a FIFO, a device or a socket)";
  // A file the user may not write keeps what it holds, as it would have
  // without the rename.
  if (access(path.c_str(), W_OK) != 0) return Reason(errno);
  return {};
}

intptr_t CreateNew(const std::string& path, bool& exists, std::string& reason) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  exists = fd == -1 && errno == EEXIST;
  if (fd == -1) reason = Reason(errno);
  return fd;
}

bool WriteAll(intptr_t handle, const char* data, size_t size, std::string& reason) {
  while (size > 0) {
    const ssize_t n = write(static_cast<int>(handle), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      reason = n < 0 ? Reason(errno) : "the system took nothing";
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

void KeepPermissions(intptr_t handle, const std::string& replaced) {
  struct stat info {};
  if (lstat(replaced.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    fchmod(static_cast<int>(handle), info.st_mode & 0777);
}

bool Close(intptr_t handle, std::string& reason) {
  if (close(static_cast<int>(handle)) == 0) return true;
  reason = Reason(errno);
  return false;
}

bool Replace(const std::string& from, const std::string& to, std::string& reason) {
  if (rename(from.c_str(), to.c_str()) == 0) return true;
  reason = Reason(errno);
  return false;
}

void Remove(const std::string& path) { unlink(path.c_str()); }

bool NamesIgnoreCase() { return false; }

}  // namespace pcb9host::hostsystem::outputsystem
