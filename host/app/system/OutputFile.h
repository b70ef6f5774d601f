#pragma once
// Files written for the user. Nothing placed where an output goes is
// followed or destroyed: the file is written to a fresh temporary file
// beside its place and renamed over it only when complete, and then only
// when the place is empty or holds a regular file (a symbolic link, a
// folder, a FIFO or a device there is refused with a reason). No
// half-written file is ever left under an output's name. One file per
// system (OutputFilePosix.cpp, OutputFileWin.cpp) supplies the calls.
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace pcb9host::hostsystem {

// What decides whether two paths name the same file, whatever their
// spelling: an existing file's device and file number (a hard link or a
// symbolic link to it is the same file); for a name not there yet, its
// deepest existing folder's device and number and the rest of the path,
// normalised.
struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Number = 0;
  std::string Rest;  // empty for an existing file
  auto operator<=>(const TFileIdentity&) const = default;
};

// Empty when no folder on the way can be looked at.
std::optional<TFileIdentity> FileIdentity(const std::string& path);

// A name's place (its folder's identity and its own name) and the file
// there, if any. Two keys name the same file when their places are the
// same, or their files: a key stays right after a file is made or
// replaced in its place.
struct TFileKey {
  std::optional<TFileIdentity> Place;
  std::optional<TFileIdentity> File;
  bool Same(const TFileKey& other) const {
    return (Place && Place == other.Place) || (File && File == other.File);
  }
};

TFileKey FileKey(const std::string& path);

class TOutputFile {
 public:
  explicit TOutputFile(std::string path);
  // Removes the temporary file of an output that was not committed.
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  // Checks the place and creates the temporary file; false with Error()
  // set when either cannot be done.
  bool Open();
  // The output's text goes here as it is made (after a successful Open).
  std::ostream& Stream();
  // Writes into the temporary file; false with Error() set.
  bool Write(const void* data, size_t size);
  // Completes the file and renames it into its place after checking the
  // place again; false with Error() set, and nothing in the place changed.
  bool Commit();
  // Why the last step failed: "cannot write PATH: REASON".
  const std::string& Error() const { return Error_; }
  // The bare reason, for a caller that names the file itself.
  const std::string& Reason() const { return Reason_; }
  const std::string& Path() const { return Path_; }

 private:
  class TBuffer;
  bool Fail(const std::string& reason);
  void Discard();

  std::string Path_;
  std::string TempPath_;
  intptr_t Handle_ = -1;
  std::unique_ptr<TBuffer> Buffer_;
  std::unique_ptr<std::ostream> Stream_;
  std::string Error_;
  std::string Reason_;
};

// Writes the whole text to `path` through a TOutputFile; false with
// `error` set ("cannot write PATH: REASON").
bool WriteOutputFile(const std::string& path, std::string_view text, std::string& error);

// The operating system's calls behind TOutputFile and FileIdentity, one
// file per system. A reason is the system's own text of the error.
namespace outputsystem {
// The device and file number of an existing file or folder (links
// followed); false when it cannot be looked at.
bool Identity(const std::string& path, uint64_t& device, uint64_t& number);
// Why the place must not be written over: a link, a folder, anything but
// a regular file; empty when it is free or holds a regular file.
std::string PlaceProblem(const std::string& path);
// Creates a new file that did not exist (never through a link); -1 with
// `reason` set, `exists` telling whether the name was taken.
intptr_t CreateNew(const std::string& path, bool& exists, std::string& reason);
bool WriteAll(intptr_t handle, const char* data, size_t size, std::string& reason);
// Gives the new file the permissions of the one it replaces, if any.
void KeepPermissions(intptr_t handle, const std::string& replaced);
bool Close(intptr_t handle, std::string& reason);
bool Replace(const std::string& from, const std::string& to, std::string& reason);
void Remove(const std::string& path);
// Whether names differing only in letter case name the same file.
bool NamesIgnoreCase();
}  // namespace outputsystem

}  // namespace pcb9host::hostsystem
