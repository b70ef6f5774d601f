#include "Driver.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>

#include "run/ImportRun.h"
#include "hostapi/PcbApi.h"
#include "loaders/ArcViaFillLoaders.h"
#include "loaders/BoardSettingsLoaders.h"
#include "loaders/ComponentLoader.h"
#include "loaders/CoordinateDimensionLoaders.h"
#include "loaders/ModalAttributes.h"
#include "loaders/NetLoader.h"
#include "loaders/PadLoader.h"
#include "loaders/PolygonLoader.h"
#include "loaders/TextLoader.h"
#include "loaders/TrackLoader.h"
#include "platform/Platform.h"
#include "proxies/Board.h"
#include "report/ComponentLayerWarnings.h"
#include "rules/BoardRules.h"
#include "rules/Classifier.h"
#include "rules/OwnerLinks.h"
#include "rules/RuleBuilders.h"
#include "stream/FileHeader.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

constexpr uint8_t kRuleKind = 16;
constexpr uint8_t kIterateAll = 1;

// Record groups by keyword, compared byte for byte in this order.
struct TRecordGroup {
  std::string_view Keyword;
  void (*Load)();
};

const std::array<TRecordGroup, 17> kRecordGroups = {{
    {"G", LoadPolygonGroup},
    {"R", LoadCoordinateGroup},
    {"I", LoadDimensionGroup},
    {"P", [] { LoadPadGroup(nullptr); }},
    {TrackBoardKeyword(tfHorizontal), [] { LoadTrackGroup(tfHorizontal, nullptr); }},
    {TrackBoardKeyword(tfVertical), [] { LoadTrackGroup(tfVertical, nullptr); }},
    {TrackBoardKeyword(tfRisingDiagonal), [] { LoadTrackGroup(tfRisingDiagonal, nullptr); }},
    {TrackBoardKeyword(tfFallingDiagonal), [] { LoadTrackGroup(tfFallingDiagonal, nullptr); }},
    {TrackBoardKeyword(tfFree), [] { LoadTrackGroup(tfFree, nullptr); }},
    {"A", [] { LoadArcGroup(nullptr); }},
    {"V", [] { LoadViaGroup(nullptr); }},
    {"F", [] { LoadFillGroup(nullptr); }},
    {"X", [] { LoadTextGroup(nullptr); }},
    {"N", [] { Run().Board->AddObject(LoadNet()); }},
    {"M", [] { Run().Board->AddObject(LoadComponent()); }},
    {"D", LoadBoardSettings},
    {"O", LoadBoardOptions},
}};

void DispatchRecordGroup(std::string_view keyword) {
  auto group = std::find_if(kRecordGroups.begin(), kRecordGroups.end(),
                            [&](const TRecordGroup& g) { return g.Keyword == keyword; });
  if (group != kRecordGroups.end()) group->Load();
}

// Removes the rules the board had before the import. A host may report one
// rule under several layers; each is kept once.
void SweepRules() {
  TImportRun& run = Run();
  run.RuleHandles.clear();
  std::unordered_set<uint32_t> seen;
  run.Board->IterateObjects(
      [&](uint32_t handle) {
        if (seen.insert(handle).second) run.RuleHandles.push_back(handle);
      },
      uint32_t{1} << kRuleKind, TLayerSet::Range(1, 75), kIterateAll);
  for (uint32_t handle : run.RuleHandles) run.Board->DeleteObject(handle);
}

// The unrouted-net and short-circuit rules, then the clearance and
// routing-layers rules from the file's settings.
void AddBoardLevelRules() {
  TImportRun& run = Run();
  AddUnroutedNetRule(*run.Board, 0);
  AddShortCircuitRule(*run.Board, 0, 0);
  CreateBoardRules(*run.Board, run.ClearanceSettings, run.RouteSettings);
}

// The per-pad and per-net rule families, after the user's choice. The
// collected values are not needed once their rules exist: their memory
// goes back before owner linking walks the board.
void CreateClassifierRules() {
  Run().Classifier->CreateRules();
  Run().Classifier.reset();
}

void AddOldFormatRules() { CreateOldFormatPadRules(*Run().Board, Run().FormatLevel); }

void LinkRunOwners() { LinkOwners(Run().Board->Handle); }

// What runs after a complete load, in order.
const std::array<void (*)(), 6> kPostLoadSequence = {{
    SweepRules,
    AddBoardLevelRules,
    CreateClassifierRules,
    AddOldFormatRules,
    LinkRunOwners,
    ReportComponentLayerWarnings,
}};

void StartRun(std::string_view fileName, int32_t boardHandle) {
  TImportRun& run = BeginRun();
  run.Board = std::make_unique<TPcbBoard>(static_cast<uint32_t>(boardHandle));
  run.Board->Sync(1);
  run.Classifier = MakeRunPart<TClassifier>(run.Board.get());
  run.LayerWarnings = MakeRunPart<TComponentLayerWarnings>();
  run.ImportFileName.assign(fileName.substr(0, 255));
  bool opened = OpenTokenFile(std::string(fileName));
  ReadNextBlock();
  run.EndReached = false;
  run.Aborted = false;
  if (!opened) ReportCorruption();
  ReadHeaderAndPreamble(fileName);
  ResetModalAttributes();
  BeginOwnerTables();
}

void RecordLoop() {
  TShortString keyword;
  for (;;) {
    ReadString(keyword);
    if (Run().EndReached || Run().Aborted) return;
    DispatchRecordGroup(keyword.View());
    if (Run().EndReached || Run().Aborted) return;
  }
}

}  // namespace

bool ImportRunActive() { return RunActive(); }

void TearDownRun() {
  if (!RunActive()) return;
  // After an abort the tables go unlinked.
  ReleaseOwnerTables();
  CloseTokenFile();
  PcbApi_Percent_Finish();
  EndRun();
}

void ReportOutOfMemory(std::string_view fileName) {
  // The name is at most 255 characters, as the run keeps it.
  std::string text = "Not enough memory to finish importing ";
  text.append(fileName.substr(0, 255)).append("; what was loaded stays on the board.");
  platform::ShowMessageBox(PcbApi_GetCurrentEditorWindow(), text, "Import", platform::TIcon::Error,
                           platform::TButtons::Ok);
}

bool RunImport(std::string_view fileName, int32_t boardHandle) {
  StartRun(fileName, boardHandle);
  RecordLoop();
  if (!Run().Aborted)
    for (auto step : kPostLoadSequence) step();
  const bool result = !Run().Aborted;
  TearDownRun();
  return result;
}

}  // namespace pcb9
