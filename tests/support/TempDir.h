#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <filesystem>
#include <string>
#include <string_view>

namespace pcb9test {

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return Path_; }
  // Writes the bytes to a file of that name in the folder; returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  std::string File(std::string_view name) const { return (Path_ / name).string(); }

 private:
  std::filesystem::path Path_;
};

// The whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

}  // namespace pcb9test
