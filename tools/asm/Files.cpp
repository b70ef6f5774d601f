#include <fstream>
#include <iterator>
#include <stdexcept>

#include "OutputFile.h"
#include "TokenAsm.h"

namespace pcb9::tokenasm {

namespace {

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("cannot read " + path);
  return data;
}

// Written beside its place and renamed there when complete: never through
// a link, never over anything but a regular file, never half.
void WriteAll(const std::string& path, const char* data, size_t size) {
  std::string error;
  if (!pcb9host::hostsystem::WriteOutputFile(path, std::string_view(data, size), error))
    throw std::runtime_error(error);
}

}  // namespace

std::vector<uint8_t> ReadBytesFile(const std::string& path) {
  std::string data = ReadAll(path);
  return std::vector<uint8_t>(data.begin(), data.end());
}

void WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteAll(path, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string ReadTextFile(const std::string& path) { return ReadAll(path); }

void WriteTextFile(const std::string& path, std::string_view text) {
  WriteAll(path, text.data(), text.size());
}

}  // namespace pcb9::tokenasm
