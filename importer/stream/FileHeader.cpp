#include "FileHeader.h"

#include <string>

#include "TokenStream.h"
#include "run/ImportRun.h"
#include "hostapi/HostOps.h"

namespace pcb9 {

namespace {
constexpr size_t kMaxCaption = 255;
constexpr int kPreambleValues = 10;
}  // namespace

int32_t ReadHeaderAndPreamble(std::string_view fileName) {
  Run().FormatLevel = 0;
  TShortString header;
  ReadString(header);
  Run().FormatLevel = MatchHeader(header.View());

  // P1 and P3 are not part of the total; the sum wraps as 32-bit arithmetic.
  uint32_t total = 0;
  for (int i = 1; i <= kPreambleValues; ++i) {
    int32_t value = 0;
    ReadLong(value);
    if (i != 1 && i != 3) total += static_cast<uint32_t>(value);
  }

  std::string caption = "Loading ";
  caption += fileName;
  caption += ProgressCaptionSuffix(Run().FormatLevel);
  if (caption.size() > kMaxCaption) caption.resize(kMaxCaption);
  ProgressInit(caption, static_cast<int32_t>(total));
  return static_cast<int32_t>(total);
}

}  // namespace pcb9
