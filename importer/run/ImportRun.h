#pragma once
// The state of one import run, gathered in one object. The driver makes a
// fresh run at the start of an import and destroys it at the end, on both
// endings, so nothing of one import reaches the next; the one-time data
// integrity warning is the only thing the module remembers across runs.
// Tests make a run over a buffer the same way (TScopedRun).
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "run/ModalRegisters.h"
#include "run/RuleSettings.h"
#include "run/TokenSource.h"

namespace pcb9 {

class TPcbBoard;
class TClassifier;
class TComponentLayerWarnings;
class TOwnerTables;

// Objects of each owner kind and of pads and components, counted in file
// order; the count gives the object's `Index`, which stops at its largest
// value (NextObjectIndex).
struct TObjectCounters {
  int32_t PadCount = 0;
  int32_t ComponentCount = 0;
  int32_t NetCount = 0;
  int32_t PolygonCount = 0;
  int32_t CoordinateCount = 0;
  int32_t DimensionCount = 0;
};

// How the run frees a part it owns: with the deletion its maker chose,
// where the part's type is known (MakeRunPart, or a std::unique_ptr handed
// over), so this header needs only the part's name.
template <class T>
struct TRunPartDeleter {
  void (*Delete)(T*) = nullptr;

  TRunPartDeleter() = default;
  TRunPartDeleter(std::default_delete<T>) : Delete([](T* part) { delete part; }) {}
  void operator()(T* part) const {
    if (Delete) Delete(part);
  }
};

// A part of the run that the run owns.
template <class T>
using TRunPart = std::unique_ptr<T, TRunPartDeleter<T>>;

template <class T, class... TArgs>
TRunPart<T> MakeRunPart(TArgs&&... args) {
  return TRunPart<T>(new T(std::forward<TArgs>(args)...), std::default_delete<T>());
}

class TImportRun {
 public:
  TImportRun();
  ~TImportRun();
  TImportRun(const TImportRun&) = delete;
  TImportRun& operator=(const TImportRun&) = delete;

  // The reader's sticky flags and the file's format level.
  bool Aborted = false;
  bool EndReached = false;
  int16_t FormatLevel = 0;
  std::string ImportFileName;
  TTokenSource Reader;

  TRunPart<TPcbBoard> Board;
  TRunPart<TClassifier> Classifier;
  TRunPart<TComponentLayerWarnings> LayerWarnings;
  TRouteSettings RouteSettings;
  TClearanceSettings ClearanceSettings;
  TModalAttributes ModalAttributes;
  // Between BeginOwnerTables and ReleaseOwnerTables.
  TRunPart<TOwnerTables> OwnerTables;
  TObjectCounters Counters;
  int32_t FreePadNumber = 0;
  // Numbers of the nets that own a split plane, as the split planes give
  // them (16-bit, unsigned); their internal planes are not named after them.
  // A set, not a list of fixed size: every split plane of the file counts,
  // however many.
  std::unordered_set<uint16_t> SplitPlaneNets;
  // Rules found on the board after loading, removed before the import's own
  // rules are made.
  std::vector<uint32_t> RuleHandles;
};

namespace detail {
extern std::unique_ptr<TImportRun> CurrentRun;
TImportRun& IdleRun();
}  // namespace detail

// The run under way; outside a run, an idle run with nothing open.
inline TImportRun& Run() {
  return detail::CurrentRun ? *detail::CurrentRun : detail::IdleRun();
}

// Makes a fresh run the current one, destroying any earlier one.
TImportRun& BeginRun();
// Destroys the current run.
void EndRun();
bool RunActive();

// A fresh run for the length of a scope (tests, tools).
class TScopedRun {
 public:
  TScopedRun() { BeginRun(); }
  ~TScopedRun() { EndRun(); }
  TScopedRun(const TScopedRun&) = delete;
  TScopedRun& operator=(const TScopedRun&) = delete;
  TImportRun* operator->() const { return &Run(); }
};

}  // namespace pcb9
