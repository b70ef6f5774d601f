// Iterators over a container's objects by kind, method and layer. An
// iterator takes its snapshot when it is created, so adding or deleting
// objects while walking it changes nothing in the walk. README.md describes
// the methods.
#include <map>
#include <optional>
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
  static const TFieldName kLayer("Layer");
  if (object.Kind == kKindRule) return kMultiLayerId;
  if (object.Kind == kKindVia) return object.Int(kLayer, kMultiLayerId);
  return object.Int(kLayer);
}

constexpr uint8_t kEveryChild = 0;

// Every object a board iterator of one method may return, in the order it
// returns them, by kind and by kind and layer. The importer walks the board
// one kind and layer at a time; a walk made once and kept while nothing it
// depends on changes (WalkEpochs) makes each of those iterators cost what it
// returns.
class TBoardWalk {
 public:
  // The board's objects: its members, and inside its components their
  // members and their designator and comment texts; with the groups method
  // also the members of every other group the board holds.
  TBoardWalk(TDocument& document, const TObject& board, bool groups)
      : Document_(document), Groups_(groups), Board_(board.Handle), Made_(WalkEpochs()),
        Seen_(document.Objects().size() + 1), Walked_(document.Objects().size() + 1) {
    for (uint32_t handle : board.Lists.Members()) Visit(handle, 0);
    Seen_ = {};
    Walked_ = {};
  }

  // Still what a walk made now would give.
  bool Current(uint32_t board) const {
    const TWalkEpochs& now = WalkEpochs();
    return board == Board_ && now.Owners == Made_.Owners && (!Groups_ || now.Groups == Made_.Groups);
  }

  const std::vector<uint32_t>& Of(uint8_t kind) const { return Find(ByKind_, kind); }
  const std::vector<uint32_t>& On(uint8_t kind, int64_t layer) const {
    return Find(ByLayer_, std::pair{kind, layer});
  }

 private:
  static constexpr int kMaxDepth = 8;  // groups nest no deeper in a real board

  template <class TMap, class TKey>
  static const std::vector<uint32_t>& Find(const TMap& map, const TKey& key) {
    static const std::vector<uint32_t> none;
    auto it = map.find(key);
    return it == map.end() ? none : it->second;
  }

  void Visit(uint32_t handle, int depth) {
    static const TFieldName kNameText("NameText"), kCommentText("CommentText");
    TObject* object = Document_.Find(handle);
    if (!object || object->Deleted || depth > kMaxDepth) return;
    Take(object);
    if (object->Kind == kKindComponent) {
      Take(Document_.Find(static_cast<uint32_t>(object->Int(kNameText))));
      Take(Document_.Find(static_cast<uint32_t>(object->Int(kCommentText))));
    }
    if (object->Kind == kKindComponent || Groups_)
      if (IsContainerKind(object->Kind) && !Walked_[object->Handle]) {
        Walked_[object->Handle] = true;  // each group is walked once
        for (uint32_t member : object->Lists.Members()) Visit(member, depth + 1);
      }
  }

  void Take(const TObject* object) {
    if (!object || object->Deleted || object->Kind == kKindBoard || Seen_[object->Handle]) return;
    Seen_[object->Handle] = true;
    ByKind_[object->Kind].push_back(object->Handle);
    ByLayer_[{object->Kind, LayerOf(*object)}].push_back(object->Handle);
  }

  TDocument& Document_;
  bool Groups_;
  uint32_t Board_;
  TWalkEpochs Made_;
  std::vector<bool> Seen_, Walked_;  // by handle, while walking
  std::map<uint8_t, std::vector<uint32_t>> ByKind_;
  std::map<std::pair<uint8_t, int64_t>, std::vector<uint32_t>> ByLayer_;
};

// The walk of a method, made again when the board changed since.
const TBoardWalk& BoardWalk(TDocument& document, const TObject& board, uint8_t method) {
  static std::optional<TBoardWalk> walks[2];
  std::optional<TBoardWalk>& walk = walks[method == kMethodMembers ? 0 : 1];
  if (!walk || !walk->Current(board.Handle)) walk.emplace(document, board, method != kMethodMembers);
  return *walk;
}

std::vector<uint32_t> FromBoard(TDocument& document, const TObject& board, uint8_t kind,
                                uint8_t method, uint32_t layerCode) {
  const TBoardWalk& walk = BoardWalk(document, board, method);
  return method == kMethodAllLayers ? walk.Of(kind) : walk.On(kind, layerCode);
}

// A group's direct members of a kind (or every kind), whatever their layer.
// A container holds an object once (AddObjectToContainer).
std::vector<uint32_t> FromGroup(TDocument& document, const TObject& group, uint8_t kind) {
  std::vector<uint32_t> found;
  for (uint32_t handle : group.Lists.Members()) {
    const TObject* object = document.Find(handle);
    if (!object || object->Deleted || object->Kind == kKindBoard) continue;
    if (kind == kEveryChild || object->Kind == kind) found.push_back(handle);
  }
  return found;
}

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
  const uint32_t handle = NewIteratorHandle();
  Iterators()[handle].Objects = board ? FromBoard(document, *container, Kind, Method, LayerCode)
                                      : FromGroup(document, *container, Kind);
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
