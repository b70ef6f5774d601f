// Iterators over a container's objects by kind, method and layer. An
// iterator takes its snapshot when it is created, so adding or deleting
// objects while walking it changes nothing in the walk. README.md describes
// the methods.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "BoardStore.h"
#include "Checks.h"
#include "Kinds.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace {

// Iteration methods; 1 walks a group's children and needs no test of its own.
constexpr uint8_t kMethodMembers = 0;
[[maybe_unused]] constexpr uint8_t kMethodGroups = 1;
constexpr uint8_t kMethodAllLayers = 2;
// Iterator handles live apart from object handles, so walking the board never
// shifts the numbers of the objects an import creates.
constexpr uint32_t kFirstIteratorHandle = 0x40000000u;

struct TIterator {
  std::vector<uint32_t> Objects;
  size_t Next = 0;
};

std::map<uint32_t, TIterator>& Iterators() {
  static std::map<uint32_t, TIterator> iterators;
  return iterators;
}

constexpr uint32_t kNoIterator = 0;

uint32_t RefuseIterator(uint32_t container, std::string why) {
  Refuse("PcbApi_CreateIterator", container, std::move(why));
  return kNoIterator;
}

// The iterator of a handle; an unknown one is refused, but handle 0 (the
// answer to a refused create, already recorded) only answers nothing.
std::map<uint32_t, TIterator>::iterator FindIterator(const char* call, uint32_t handle) {
  auto it = Iterators().find(handle);
  if (it == Iterators().end() && handle != kNoIterator) Refuse(call, handle, "unknown iterator");
  return it;
}

uint32_t NewIteratorHandle() {
  static uint32_t next = kFirstIteratorHandle;
  return next++;
}

// Rules live on MultiLayer whatever they store; a via that never got a layer
// is on MultiLayer as a new via is.
int64_t LayerOf(const TObject& object) {
  if (object.Kind == kKindRule) return kMultiLayerId;
  if (object.Kind == kKindVia) return object.Int("Layer", kMultiLayerId);
  return object.Int("Layer");
}

constexpr uint8_t kEveryChild = 0;

struct TQuery {
  uint8_t Kind;
  uint8_t Method;
  uint32_t LayerCode;
  bool LayerFilter;  // false: any layer
};

class TCollector {
 public:
  TCollector(TDocument& document, const TQuery& query) : Document_(document), Query_(query) {}

  // The board's objects: its members, and inside its components their
  // members and their designator and comment texts; with the groups method
  // also the members of every other group the board holds.
  void FromBoard(const TObject& board) {
    for (uint32_t handle : board.Members) Visit(handle, 0);
  }

  // A group's direct members, whatever their layer.
  void FromGroup(const TObject& group) {
    for (uint32_t handle : group.Members) Take(Document_.Find(handle));
  }

  std::vector<uint32_t> Result() { return std::move(Result_); }

 private:
  static constexpr int kMaxDepth = 8;  // groups nest no deeper in a real board

  void Visit(uint32_t handle, int depth) {
    TObject* object = Document_.Find(handle);
    if (!object || object->Deleted || depth > kMaxDepth) return;
    Take(object);
    if (object->Kind == kKindComponent) {
      Take(Document_.Find(static_cast<uint32_t>(object->Int("NameText"))));
      Take(Document_.Find(static_cast<uint32_t>(object->Int("CommentText"))));
    }
    if (object->Kind == kKindComponent || Query_.Method != kMethodMembers)
      if (IsContainerKind(object->Kind) && Walked_.insert(object->Handle).second)
        for (uint32_t member : object->Members) Visit(member, depth + 1);
  }

  void Take(const TObject* object) {
    if (!object || object->Deleted || object->Kind == kKindBoard) return;
    if (Query_.Kind != kEveryChild && object->Kind != Query_.Kind) return;
    if (Query_.LayerFilter && LayerOf(*object) != static_cast<int64_t>(Query_.LayerCode)) return;
    if (Seen_.insert(object->Handle).second) Result_.push_back(object->Handle);
  }

  TDocument& Document_;
  TQuery Query_;
  std::set<uint32_t> Seen_;
  std::set<uint32_t> Walked_;  // groups already walked: each is walked once
  std::vector<uint32_t> Result_;
};

}  // namespace

extern "C" {

// A refused iterator is handle 0, which every later iterator call answers
// with nothing.
uint32_t PCB9_CALL PcbApi_CreateIterator(uint32_t Container, uint8_t Kind, uint8_t Method,
                                         uint32_t LayerCode) {
  TDocument& document = TDocument::Instance();
  TObject* container = FindFor(__func__, Container, kContainerKinds);
  if (!container) return kNoIterator;
  if (container->Deleted) return RefuseIterator(Container, "a deleted container");
  const bool board = container->Kind == kKindBoard;
  // The board is walked one object kind at a time; kind 0 there is not
  // "every kind". A group's children may be asked for all at once (kind 0),
  // as the importer does to see where a component's primitives lie.
  if (!IsObjectKind(Kind) && (board || Kind != kEveryChild))
    return RefuseIterator(Container, "no object kind " + std::to_string(Kind));
  if (Method > kMethodAllLayers) return RefuseIterator(Container, "no method " + std::to_string(Method));
  TCollector collector(document, {Kind, Method, LayerCode, board && Method != kMethodAllLayers});
  if (board)
    collector.FromBoard(*container);
  else
    collector.FromGroup(*container);
  const uint32_t handle = NewIteratorHandle();
  Iterators()[handle].Objects = collector.Result();
  return handle;
}

uint32_t PCB9_CALL PcbApi_GetFirstObject(uint32_t Iterator) {
  auto it = FindIterator(__func__, Iterator);
  if (it == Iterators().end()) return 0;
  it->second.Next = 0;
  return PcbApi_GetNextObject(Iterator);
}

uint32_t PCB9_CALL PcbApi_GetNextObject(uint32_t Iterator) {
  auto it = FindIterator(__func__, Iterator);
  if (it == Iterators().end()) return 0;
  TIterator& iterator = it->second;
  return iterator.Next < iterator.Objects.size() ? iterator.Objects[iterator.Next++] : 0;
}

int32_t PCB9_CALL PcbApi_DestroyIterator(uint32_t Iterator) {
  auto it = FindIterator(__func__, Iterator);
  if (it == Iterators().end()) return kRefused;
  Iterators().erase(it);
  return 0;
}

}  // extern "C"
