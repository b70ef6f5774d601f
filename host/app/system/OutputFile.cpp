#include "OutputFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <random>
#include <streambuf>

namespace pcb9host::hostsystem {

namespace {

namespace os = outputsystem;

constexpr int kTemporaryNameTries = 100;

// ".pcb9-<16 hex digits>.tmp" beside the output: short, so that an output
// whose own name is as long as names get still has one.
std::string TemporaryName(const std::string& path) {
  static std::mt19937_64 random{std::random_device{}()};
  constexpr char kHex[] = "0123456789abcdef";
  std::string name = ".pcb9-";
  for (uint64_t bits = random(), i = 0; i < 16; ++i, bits >>= 4) name += kHex[bits & 15];
  name += ".tmp";
  return (std::filesystem::path(path).parent_path() / name).string();
}

std::string FoldCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

}  // namespace

std::optional<TFileIdentity> FileIdentity(const std::string& path) {
  std::error_code error;
  std::filesystem::path place = std::filesystem::absolute(path, error);
  if (error || path.empty()) return std::nullopt;
  std::filesystem::path rest;
  for (;;) {
    TFileIdentity id;
    if (os::Identity(place.string(), id.Device, id.Number)) {
      id.Rest = rest.lexically_normal().generic_string();
      if (id.Rest == ".") id.Rest.clear();
      if (os::NamesIgnoreCase()) id.Rest = FoldCase(id.Rest);
      return id;
    }
    if (!place.has_relative_path()) return std::nullopt;
    rest = place.filename() / rest;
    place = place.parent_path();
  }
}

TFileKey FileKey(const std::string& path) {
  TFileKey key;
  key.File = FileIdentity(path);
  const std::filesystem::path place(path);
  const std::string name = place.filename().string();
  if (name.empty() || name == "." || name == "..") return key;
  const std::filesystem::path folder = place.parent_path();
  key.Place = FileIdentity(folder.empty() ? std::string(".") : folder.string());
  if (key.Place) {
    key.Place->Rest += (key.Place->Rest.empty() ? "" : "/") + name;
    if (os::NamesIgnoreCase()) key.Place->Rest = FoldCase(key.Place->Rest);
  }
  return key;
}

// The put area of the output's stream, written into the temporary file
// whenever it fills and when the stream is flushed.
class TOutputFile::TBuffer : public std::streambuf {
 public:
  explicit TBuffer(TOutputFile& file) : File_(file) { Reset(); }

 protected:
  int_type overflow(int_type c) override {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain() ? 0 : -1; }

 private:
  void Reset() { setp(Data_.data(), Data_.data() + Data_.size()); }
  bool Drain() {
    const size_t size = static_cast<size_t>(pptr() - pbase());
    Reset();
    return size == 0 || File_.Write(Data_.data(), size);
  }

  TOutputFile& File_;
  std::array<char, size_t{1} << 16> Data_{};
};

TOutputFile::TOutputFile(std::string path) : Path_(std::move(path)) {}

TOutputFile::~TOutputFile() { Discard(); }

bool TOutputFile::Fail(const std::string& reason) {
  Reason_ = reason;
  Error_ = "cannot write " + Path_ + ": " + reason;
  return false;
}

void TOutputFile::Discard() {
  std::string ignored;
  if (Handle_ != -1) os::Close(Handle_, ignored);
  Handle_ = -1;
  if (!TempPath_.empty()) os::Remove(TempPath_);
  TempPath_.clear();
}

bool TOutputFile::Open() {
  if (Path_.empty()) return Fail("no file name");
  if (const std::string problem = os::PlaceProblem(Path_); !problem.empty()) return Fail(problem);
  for (int tries = 0; Handle_ == -1; ++tries) {
    bool exists = false;
    std::string reason;
    TempPath_ = TemporaryName(Path_);
    Handle_ = os::CreateNew(TempPath_, exists, reason);
    if (Handle_ == -1 && (!exists || tries == kTemporaryNameTries)) {
      TempPath_.clear();
      return Fail(reason);
    }
  }
  Buffer_ = std::make_unique<TBuffer>(*this);
  Stream_ = std::make_unique<std::ostream>(Buffer_.get());
  return true;
}

std::ostream& TOutputFile::Stream() { return *Stream_; }

bool TOutputFile::Write(const void* data, size_t size) {
  if (Handle_ == -1) return Fail("the file is not open");
  std::string reason;
  if (os::WriteAll(Handle_, static_cast<const char*>(data), size, reason)) return true;
  return Fail(reason);
}

bool TOutputFile::Commit() {
  if (Handle_ == -1) return Fail("the file is not open");
  if (Stream_ && !Stream_->flush()) {
    Discard();
    return false;  // Write said why
  }
  std::string reason = os::PlaceProblem(Path_);
  if (reason.empty()) {
    os::KeepPermissions(Handle_, Path_);
    const bool closed = os::Close(Handle_, reason);
    Handle_ = -1;
    if (closed && os::Replace(TempPath_, Path_, reason)) {
      TempPath_.clear();
      return true;
    }
  }
  Discard();
  return Fail(reason);
}

bool WriteOutputFile(const std::string& path, std::string_view text, std::string& error) {
  TOutputFile file(path);
  const bool written = file.Open() && file.Write(text.data(), text.size()) && file.Commit();
  if (!written) error = file.Error();
  return written;
}

}  // namespace pcb9host::hostsystem
