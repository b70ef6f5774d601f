// Objects, containers, object kinds, progress, commands and the base
// primitive exchange.
#include <algorithm>
#include <cstring>
#include <string>

#include "Checks.h"
#include "Document.h"
#include "Kinds.h"
#include "Module.h"
#include "PcbApiExports.h"

using namespace morvik;

namespace morvik {

TProgress& Progress() {
  static TProgress progress;
  return progress;
}

static std::function<void(const TProgress&)>& ObserverSlot() {
  static std::function<void(const TProgress&)> observer;
  return observer;
}

void SetProgressObserver(std::function<void(const TProgress&)> observer) {
  ObserverSlot() = std::move(observer);
}

const std::function<void(const TProgress&)>& ProgressObserver() { return ObserverSlot(); }

static void* EditorPlaceholder() {
  static int placeholder;
  return &placeholder;
}

static void*& EditorWindowSlot() {
  static void* window = EditorPlaceholder();
  return window;
}

void* EditorWindow() { return EditorWindowSlot(); }

void SetEditorWindow(void* window) { EditorWindowSlot() = window ? window : EditorPlaceholder(); }

static std::vector<TSentCommand>& CommandLog() {
  static std::vector<TSentCommand> commands;
  return commands;
}

const std::vector<TSentCommand>& SentCommands() { return CommandLog(); }

// A text field holds at most 255 characters, as a length-prefixed string.
constexpr size_t kMaxTextLength = 255;

void SetBoardFileName(const std::string& path) {
  TDocument& document = TDocument::Instance();
  if (TObject* board = document.Find(document.BoardHandle()))
    board->Set("BoardInfo.2", TFieldType::Text, path.substr(0, kMaxTextLength));
}

void ResetModule() {
  TDocument::Instance().Reset();
  Progress() = TProgress{};
  CommandLog().clear();
  ClearHostErrors();
}

}  // namespace morvik

namespace {

// Base block of every primitive exchange: the fields of the base object.
const TFieldInfo kPrimitive[] = {
    {"Flags", TFieldType::U16},          {"Index", TFieldType::I16},
    {"Layer", TFieldType::LayerCode},    {"Net", TFieldType::Handle},
    {"OwnerComponent", TFieldType::Handle}, {"StateFlag", TFieldType::Bool},
};

const TFieldInfo kTrack[] = {
    {"Flags", TFieldType::U16},       {"Index", TFieldType::I16},
    {"Layer", TFieldType::LayerCode}, {"Net", TFieldType::Handle},
    {"StateFlag", TFieldType::Bool},  {"OwnerComponent", TFieldType::Handle},
    {"X", TFieldType::I32},           {"Y", TFieldType::I32},
    {"X2", TFieldType::I32},          {"Y2", TFieldType::I32},
    {"Width", TFieldType::I32},       {"OwnerPolygon", TFieldType::Handle},
    {"OwnerCoordinate", TFieldType::Handle}, {"OwnerDimension", TFieldType::Handle},
};

const TFieldInfo kBitField2 = {"BitField2", TFieldType::U8};
const TFieldInfo kBitField3 = {"BitField3", TFieldType::U16};

}  // namespace

extern "C" {

uint32_t PCB9_CALL PcbApi_CreateObject(uint8_t Kind) {
  if (!IsCreatableKind(Kind)) return 0;
  return TDocument::Instance().Create(Kind).Handle;
}

uint32_t PCB9_CALL PcbApi_CreateRuleObject(uint8_t RuleKind) {
  if (RuleKind >= kRuleKindCount) return 0;
  return TDocument::Instance().CreateRule(RuleKind).Handle;
}

// An object has one owner (the board or a component), recorded in
// `Container`; nets, polygons, split planes, coordinates and dimensions hold
// it as a member on top of that.
static bool IsOwnerKind(uint8_t kind) { return kind == kKindBoard || kind == kKindComponent; }

int32_t PCB9_CALL PcbApi_AddObjectToContainer(uint32_t Container, uint32_t Object) {
  TObject* container = FindFor(__func__, Container, kContainerKinds);
  TObject* object = container ? FindFor(__func__, Object, kAnyObject) : nullptr;
  if (!container || !object) return kRefused;
  TDocument& document = TDocument::Instance();
  if (document.HasMember(*container, *object))
    return Refuse(__func__, Object, "already in that container");
  if (IsOwnerKind(container->Kind) && object->Container != 0)
    return Refuse(__func__, Object, "already owned by " + std::to_string(object->Container));
  document.AddMember(*container, *object);
  return 0;
}

int32_t PCB9_CALL PcbApi_DeleteObjectFromContainer(uint32_t Container, uint32_t Object) {
  TObject* container = FindFor(__func__, Container, kContainerKinds);
  TObject* object = container ? FindFor(__func__, Object, kAnyObject) : nullptr;
  if (!container || !object) return kRefused;
  if (!TDocument::Instance().RemoveMember(*container, *object))
    return Refuse(__func__, Object, "not in that container");
  return 0;
}

uint8_t PCB9_CALL PcbApi_GetObjectIdFromObjectHandle(uint32_t Object) {
  TObject* object = TDocument::Instance().Find(Object);
  return object ? object->Kind : 0;
}

void PCB9_CALL PcbApi_Percent_Init(const TShortString* Caption, int32_t Total) {
  TProgress& progress = Progress();
  progress.Caption = Caption ? Caption->Str() : std::string();
  progress.Total = Total;
}

void PCB9_CALL PcbApi_Percent_Update() {
  TProgress& progress = Progress();
  ++progress.Updates;
  if (ProgressObserver()) ProgressObserver()(progress);
}

void PCB9_CALL PcbApi_Percent_Finish() { ++Progress().Finished; }

void* PCB9_CALL PcbApi_GetCurrentEditorWindow() { return EditorWindow(); }

// The reference host runs no commands; it records them. The parameters are
// a zero-terminated text within Length bytes.
int32_t PCB9_CALL PcbApi_SendCommand(const char* Command, const char* Parameters, uint16_t Length,
                                     int32_t /*Value*/) {
  std::string params = Parameters ? std::string(Parameters, strnlen(Parameters, Length)) : "";
  CommandLog().push_back({Command ? Command : "", std::move(params)});
  return 0;
}

void PCB9_CALL PcbApi_GetObjectBitField2(uint8_t Dir, uint32_t Object, uint8_t* Bits) {
  Exchange(__func__, kAnyObject, Dir, Object, {&kBitField2, 1}, {Bits});
}

void PCB9_CALL PcbApi_GetObjectBitField3(uint8_t Dir, uint32_t Object, uint16_t* Bits) {
  Exchange(__func__, kAnyObject, Dir, Object, {&kBitField3, 1}, {Bits});
}

int32_t PCB9_CALL PcbApi_QueryPrimitive(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                        uint32_t* Layer, uint32_t* Net, uint32_t* OwnerComponent,
                                        uint8_t* StateFlag) {
  return Exchange(__func__, kAnyObject, Dir, Object, kPrimitive, {Flags, Index, Layer, Net, OwnerComponent, StateFlag});
}

int32_t PCB9_CALL PcbApi_QueryTrack(uint8_t Dir, uint32_t Object, uint16_t* Flags, int16_t* Index,
                                    uint32_t* Layer, uint32_t* Net, uint8_t* StateFlag,
                                    uint32_t* OwnerComponent, int32_t* X, int32_t* Y, int32_t* X2,
                                    int32_t* Y2, int32_t* Width, uint32_t* OwnerPolygon,
                                    uint32_t* OwnerCoordinate, uint32_t* OwnerDimension) {
  return Exchange(__func__, KindBit(kKindTrack), Dir, Object, kTrack,
                  {Flags, Index, Layer, Net, StateFlag, OwnerComponent, X, Y, X2, Y2, Width,
                   OwnerPolygon, OwnerCoordinate, OwnerDimension});
}

int32_t PCB9_CALL PcbApi_QueryObjectBoundingRectangle(uint32_t Object, int32_t* Left, int32_t* Bottom,
                                                      int32_t* Right, int32_t* Top) {
  TObject* object = FindFor(__func__, Object, kAnyObject);
  if (!object) return kRefused;
  TRect r = BoundingRect(*object);
  if (Left) *Left = r.Left;
  if (Bottom) *Bottom = r.Bottom;
  if (Right) *Right = r.Right;
  if (Top) *Top = r.Top;
  return 0;
}

int32_t PCB9_CALL PcbApi_QueryObjectImport_FromUser(uint32_t Object) {
  return FindFor(__func__, Object, kAnyObject) ? 0 : kRefused;
}

int32_t PCB9_CALL PcbApi_QueryObjectGraphicallyInvalidate(uint32_t Object) {
  return FindFor(__func__, Object, kAnyObject) ? 0 : kRefused;
}

}  // extern "C"
