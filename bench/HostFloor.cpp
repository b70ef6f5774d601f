// pcb9-floor: the host floor of an import, what the reference host itself
// costs for the objects of a board.
//
//   pcb9-floor record BOARD.PCB TRACE   imports BOARD.PCB in this process and
//                                       writes every PcbApi_ call it made,
//                                       with its arguments, to TRACE
//   pcb9-floor replay TRACE             makes the same calls, in the same
//                                       order, on a fresh document; nothing
//                                       else runs
//
// The replay is the host's share of the import: the same functions, as many
// calls per object kind, the same values. Handles repeat because the host
// numbers objects in creation order on a fresh document. A store passes what
// its pointers point at (strings by their length, polygon segments by their
// count); a fetch (direction 1) passes empty buffers for the host to fill.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "HostSession.h"
#include "HostSystem.h"
#include "client/ClientServices.h"
#include "entry/Recognition.h"
#include "hostapi/PcbApi.h"
#include "platform/Platform.h"

namespace {

using pcb9::PcbApi;
using pcb9::TPcbApiTable;

enum TCallId : uint16_t {
#define PCBAPI(Ret, Name, Params, Default, Form) k##Name,
#include "hostapi/PcbApiList.h"
#undef PCBAPI
  kCallCount
};

constexpr uint32_t kNullPointer = 0xFFFFFFFF;
constexpr size_t kSegmentBytes = 37, kSegmentEntries = 5001;  // polygon outlines
constexpr uint32_t kBoardHandle = 1;                          // the host's open board

std::vector<uint8_t>& Trace() {
  static std::vector<uint8_t> trace;
  return trace;
}

void Put(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  Trace().insert(Trace().end(), bytes, bytes + size);
}

// --- recording -------------------------------------------------------------------

struct TRecordState {
  bool Fetch = false;       // a directed call with direction 1: pointers are outputs
  int32_t LastCount = -1;   // the last int32_t the call points at (a segment count)
};

template <class T>
void PutArg(T value, TRecordState& state) {
  if constexpr (std::is_pointer_v<T>) {
    using TPointee = std::remove_cv_t<std::remove_pointer_t<T>>;
    uint32_t size = 0;
    if (!value)
      size = kNullPointer;
    else if (state.Fetch)
      size = 0;
    else if constexpr (std::is_same_v<TPointee, TShortString>)
      size = 1u + value->Len;
    else if constexpr (std::is_same_v<TPointee, char>)
      size = static_cast<uint32_t>(std::strlen(value) + 1);
    else if constexpr (std::is_void_v<TPointee>)
      size = static_cast<uint32_t>(kSegmentBytes *
                                   (std::min<size_t>(std::max(state.LastCount, 0), 5000) + 1));
    else
      size = sizeof(TPointee);
    if constexpr (std::is_same_v<TPointee, int32_t>)
      if (value) state.LastCount = *value;
    Put(&size, sizeof size);
    if (size != kNullPointer && size > 0) Put(value, size);
  } else {
    Put(&value, sizeof value);
  }
}

// A directed exchange (direction first, then the object) that fetches.
template <class F, class... R>
bool FetchesInto(F first, R...) {
  if constexpr (sizeof...(R) >= 1 && std::is_same_v<F, uint8_t>)
    return first == 1;
  else
    return false;
}

template <TCallId Id, class Fn>
struct TRecorder;
template <TCallId Id, class R, class... A>
struct TRecorder<Id, R(PCB9_CALL*)(A...)> {
  static inline R(PCB9_CALL* Real)(A...) = nullptr;
  static R PCB9_CALL Call(A... args) {
    const uint16_t id = Id;
    Put(&id, sizeof id);
    TRecordState state;
    if constexpr (sizeof...(A) > 0) state.Fetch = FetchesInto(args...);
    (PutArg(args, state), ...);
    return Real(args...);
  }
};

void InstallRecorders() {
  TPcbApiTable& api = PcbApi();
#define PCBAPI(Ret, Name, Params, Default, Form)                              \
  if (api.Name) {                                                             \
    using TRec = TRecorder<k##Name, decltype(api.Name)>;                      \
    TRec::Real = api.Name;                                                    \
    api.Name = &TRec::Call;                                                   \
  }
#include "hostapi/PcbApiList.h"
#undef PCBAPI
}

int Record(const char* board, const char* tracePath) {
  pcb9::platform::BindHostServices(pcb9::platform::MainModule());
  pcb9::BindClientApi(pcb9::platform::MainModule());
  pcb9::BindHostApi();
  InstallRecorders();
  // Nobody is asked, terminal or not: the rule dialog is taken as prepared,
  // so the recorded calls are the import's own, the same every time.
  pcb9host::THostSession::Instance().SetDialogTerminal(nullptr, nullptr);
  const bool ok = pcb9::ImportRecognisedFile(board, static_cast<int32_t>(kBoardHandle));
  FILE* out = std::fopen(tracePath, "wb");
  if (!out || std::fwrite(Trace().data(), 1, Trace().size(), out) != Trace().size()) {
    std::fprintf(stderr, "pcb9-floor: cannot write %s\n", tracePath);
    if (out) std::fclose(out);
    return 2;
  }
  std::fclose(out);
  std::printf("%s: import %s, %zu trace bytes\n", tracePath, ok ? "true" : "false", Trace().size());
  return ok ? 0 : 1;
}

// --- replaying -------------------------------------------------------------------

struct TReader {
  const uint8_t* At;
  const uint8_t* End;
  void Take(void* into, size_t size) {
    if (static_cast<size_t>(End - At) < size) throw std::runtime_error("the trace is cut short");
    std::memcpy(into, At, size);
    At += size;
  }
};

// Buffers for one call's pointer arguments, by argument position.
struct TScratch {
  static constexpr size_t kSlots = 48, kSlotBytes = 256;
  alignas(8) uint8_t Slots[kSlots][kSlotBytes];
  std::vector<uint8_t> Segments = std::vector<uint8_t>(kSegmentBytes * kSegmentEntries);
  std::vector<char> Text;
};

template <class T>
T GetArg(TReader& in, TScratch& scratch, size_t position) {
  if constexpr (std::is_pointer_v<T>) {
    using TPointee = std::remove_cv_t<std::remove_pointer_t<T>>;
    uint32_t size = 0;
    in.Take(&size, sizeof size);
    if (size == kNullPointer) return nullptr;
    void* buffer = scratch.Slots[position];
    if constexpr (std::is_void_v<TPointee>) {
      buffer = scratch.Segments.data();
      if (size > scratch.Segments.size()) throw std::runtime_error("a segment list too long");
    } else if constexpr (std::is_same_v<TPointee, char>) {
      scratch.Text.resize(std::max<size_t>(size, 1));
      scratch.Text[0] = 0;
      buffer = scratch.Text.data();
    } else if (size > TScratch::kSlotBytes) {
      throw std::runtime_error("an argument too long");
    }
    in.Take(buffer, size);
    return static_cast<T>(buffer);
  } else {
    T value{};
    in.Take(&value, sizeof value);
    return value;
  }
}

template <TCallId Id, class Fn>
struct TReplayer;
template <TCallId Id, class R, class... A>
struct TReplayer<Id, R(PCB9_CALL*)(A...)> {
  static void Run(R(PCB9_CALL* fn)(A...), TReader& in, TScratch& scratch) {
    Run(fn, in, scratch, std::index_sequence_for<A...>{});
  }
  template <size_t... I>
  static void Run(R(PCB9_CALL* fn)(A...), TReader& in, TScratch& scratch, std::index_sequence<I...>) {
    // Braced initialisation reads the arguments left to right.
    std::tuple<A...> args{GetArg<A>(in, scratch, I)...};
    if (fn) std::apply(fn, args);
  }
};

void ReplayCall(uint16_t id, TReader& in, TScratch& scratch) {
  TPcbApiTable& api = PcbApi();
  switch (id) {
#define PCBAPI(Ret, Name, Params, Default, Form)                              \
  case k##Name:                                                               \
    TReplayer<k##Name, decltype(api.Name)>::Run(api.Name, in, scratch);       \
    return;
#include "hostapi/PcbApiList.h"
#undef PCBAPI
    default:
      throw std::runtime_error("unknown call " + std::to_string(id) + " in the trace");
  }
}

// Processor time of this process, user and system.
double ProcessSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

int Replay(const char* tracePath) {
  FILE* file = std::fopen(tracePath, "rb");
  if (!file) throw std::runtime_error(std::string("cannot read ") + tracePath);
  // Read whole in one piece, as the importer reads its board's blocks: the
  // floor should not pay for growing a buffer.
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fseek(file, 0, SEEK_SET);
  std::vector<uint8_t> trace(size > 0 ? static_cast<size_t>(size) : 0);
  const size_t read = std::fread(trace.data(), 1, trace.size(), file);
  std::fclose(file);
  if (read != trace.size()) throw std::runtime_error(std::string("cannot read ") + tracePath);
  pcb9::BindHostApi();
  auto scratch = std::make_unique<TScratch>();
  TReader in{trace.data(), trace.data() + trace.size()};
  uint64_t calls = 0;
  // The floor is the calls alone: the trace (several times the board's
  // size) is read before the clock starts.
  const double start = ProcessSeconds();
  while (in.At != in.End) {
    uint16_t id = 0;
    in.Take(&id, sizeof id);
    ReplayCall(id, in, *scratch);
    ++calls;
  }
  const double seconds = ProcessSeconds() - start;
  std::printf("%s: %llu calls replayed in %.3f s CPU\n", tracePath,
              static_cast<unsigned long long>(calls), seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // The same heap as pcb9-host's, so the ratio compares like with like.
  pcb9host::hostsystem::UseLargePages();
  try {
    if (argc == 4 && std::string(argv[1]) == "record") return Record(argv[2], argv[3]);
    if (argc == 3 && std::string(argv[1]) == "replay") return Replay(argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pcb9-floor: %s\n", e.what());
    return 2;
  }
  std::fprintf(stderr, "usage: pcb9-floor record BOARD.PCB TRACE | pcb9-floor replay TRACE\n");
  return 2;
}
