#include "TempDir.h"

#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace pcb9test {

// A fresh name made by this process alone: create_directory fails on a
// folder that exists, so a name another run took is never shared.
TTempDir::TTempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path candidate = base / ("pcb9-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      Path_ = std::move(candidate);
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TTempDir::~TTempDir() {
  std::error_code error;
  std::filesystem::remove_all(Path_, error);
}

std::string TTempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::string path = File(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pcb9test
