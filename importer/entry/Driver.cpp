#include "Driver.h"

#include <algorithm>
#include <array>
#include <string>

#include "ImportRun.h"
#include "hostapi/PcbApi.h"
#include "loaders/ModalAttributes.h"
#include "loaders/TrackLoader.h"
#include "platform/Platform.h"
#include "proxies/Board.h"
#include "stream/FileHeader.h"
#include "stream/TokenStream.h"

namespace pcb9 {

std::unique_ptr<TPcbBoard> Board;
std::unique_ptr<TRouteSettings> RouteSettings;
std::unique_ptr<TClearanceSettings> ClearanceSettings;
int32_t FreePadNumber = 0;
std::vector<uint32_t> RuleHandles;

namespace {

constexpr uint8_t kRuleKind = 16;
constexpr uint8_t kIterateAll = 1;
constexpr int32_t kDefaultClearance = 50000;  // 5 mil

bool RunActive = false;

// Record groups by keyword, compared byte for byte in this order.
struct TRecordGroup {
  std::string_view Keyword;
  void (*Load)();
};

const std::array<TRecordGroup, 5> kRecordGroups = {{
    {TrackBoardKeyword(tfHorizontal), [] { LoadTrackGroup(tfHorizontal, nullptr); }},
    {TrackBoardKeyword(tfVertical), [] { LoadTrackGroup(tfVertical, nullptr); }},
    {TrackBoardKeyword(tfRisingDiagonal), [] { LoadTrackGroup(tfRisingDiagonal, nullptr); }},
    {TrackBoardKeyword(tfFallingDiagonal), [] { LoadTrackGroup(tfFallingDiagonal, nullptr); }},
    {TrackBoardKeyword(tfFree), [] { LoadTrackGroup(tfFree, nullptr); }},
}};

void DispatchRecordGroup(std::string_view keyword) {
  auto group = std::find_if(kRecordGroups.begin(), kRecordGroups.end(),
                            [&](const TRecordGroup& g) { return g.Keyword == keyword; });
  if (group != kRecordGroups.end()) group->Load();
}

// Removes the rules the board had before the import.
void SweepRules() {
  RuleHandles.clear();
  Board->IterateObjects(
      [](uint32_t handle) {
        // A host may report one rule under several layers; keep it once.
        if (std::find(RuleHandles.begin(), RuleHandles.end(), handle) == RuleHandles.end())
          RuleHandles.push_back(handle);
      },
      uint32_t{1} << kRuleKind, TLayerSet::Range(1, 75), kIterateAll);
  for (uint32_t handle : RuleHandles) Board->DeleteObject(handle);
}

// What runs after a complete load, in order.
const std::array<void (*)(), 1> kPostLoadSequence = {{
    SweepRules,
}};

void StartRun(std::string_view fileName, int32_t boardHandle) {
  RunActive = true;
  FreePadNumber = 0;
  Board = std::make_unique<TPcbBoard>(static_cast<uint32_t>(boardHandle));
  Board->Sync(1);
  ImportFileName.assign(fileName.substr(0, 255));
  bool opened = OpenTokenFile(std::string(fileName));
  ReadNextBlock();
  EndReached = false;
  Aborted = false;
  if (!opened) ReportCorruption();
  ReadHeaderAndPreamble(fileName);
  RouteSettings = std::make_unique<TRouteSettings>();
  RouteSettings->RoutingDirections[1] = 1;   // TopLayer
  RouteSettings->RoutingDirections[32] = 2;  // BottomLayer
  ClearanceSettings = std::make_unique<TClearanceSettings>();
  ClearanceSettings->fill(kDefaultClearance);
  ResetModalAttributes();
}

void RecordLoop() {
  TShortString keyword;
  for (;;) {
    ReadString(keyword);
    if (EndReached || Aborted) return;
    DispatchRecordGroup(keyword.View());
    if (EndReached || Aborted) return;
  }
}

}  // namespace

bool ImportRunActive() { return RunActive; }

void TearDownRun() {
  if (!RunActive) return;
  RunActive = false;
  ClearanceSettings.reset();
  RouteSettings.reset();
  RuleHandles.clear();
  CloseTokenFile();
  PcbApi_Percent_Finish();
  Board.reset();
}

bool RunImport(std::string_view fileName, int32_t boardHandle) {
  TearDownRun();
  StartRun(fileName, boardHandle);
  RecordLoop();
  if (!Aborted)
    for (auto step : kPostLoadSequence) step();
  TearDownRun();
  return !Aborted;
}

bool ConfirmAbort(std::string_view text) {
  return platform::ShowMessageBox(platform::DesktopWindow(), text, "Confirm", platform::TIcon::None,
                                  platform::TButtons::YesNo) == platform::TAnswer::Yes;
}

void CheckAbort(bool& flag) {
  if (flag) return;
  platform::TMessage message;
  while (platform::TakePendingMessage(message)) {
    bool escape = (message.Message == platform::kMsgKeyDown ||
                   message.Message == platform::kMsgSysKeyDown) &&
                  message.WParam == platform::kKeyEscape;
    if (!escape) {
      platform::DeliverMessage(message);
    } else if (ConfirmAbort("Confirm Abort Process")) {
      flag = true;
    }
  }
}

}  // namespace pcb9
