#include "rules/BoardRules.h"

#include <algorithm>
#include <array>
#include <limits>

#include "hostapi/HostOps.h"
#include "rules/RuleBuilders.h"

namespace pcb9 {

namespace {

constexpr uint8_t kFirstFamily = 1, kLastFamily = 5;  // wire .. fill
constexpr uint8_t kFileSignalLayers = 16;
constexpr uint8_t kLastDirectionCode = 3;
constexpr int16_t kLastOldPadFormat = 7;
constexpr int32_t kOldSolderMask = 20000;  // 2 mil
constexpr int32_t kOldPlaneValue = 100000;  // 10 mil
constexpr int32_t kOldPlaneConnectParam3 = 4;

// C1..C6 are the settings' entries 0..5.
constexpr std::array<size_t, 6> kCountOrder = {0, 3, 1, 2, 4, 5};  // C1, C4, C2, C3, C5, C6

// Share of each primitive code (index 0 and above 5: none).
using TShare = int32_t (*)(const TClearanceSettings&);
constexpr std::array<TShare, 6> kShares = {
    nullptr,
    [](const TClearanceSettings& c) { return std::max(c[0], c[3]); },  // wire: C1, C4
    [](const TClearanceSettings& c) { return c[2]; },                  // through-hole pin: C3
    [](const TClearanceSettings& c) { return c[2]; },                  // surface-mount pin: C3
    [](const TClearanceSettings& c) { return c[5]; },                  // via: C6
    [](const TClearanceSettings& c) { return c[1]; },                  // fill: C2
};

// Two file lengths summed; a file may hold values whose sum leaves the
// 32-bit range, which would turn a huge gap into a negative one.
int32_t SaturatedSum(int32_t a, int32_t b) {
  const int64_t sum = int64_t{a} + int64_t{b};
  return static_cast<int32_t>(std::clamp<int64_t>(sum, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// Entry L-1 for host layer L: the direction of each file signal layer at
// the host layer it maps to; codes the host does not know become 0.
std::array<uint8_t, 32> RoutingDirections(const TRouteSettings& Route) {
  std::array<uint8_t, 32> directions{};
  for (uint8_t fileLayer = 1; fileLayer <= kFileSignalLayers; ++fileLayer) {
    const uint8_t hostLayer = OldLayerToHostLayer(fileLayer);
    const uint8_t code = Route.RoutingDirections[hostLayer];
    directions[hostLayer - 1] = code <= kLastDirectionCode ? code : 0;
  }
  return directions;
}

}  // namespace

int32_t MostCommonClearance(const TClearanceSettings& Clearances) {
  int32_t best = Clearances[kCountOrder[0]];
  int bestCount = 0;
  for (size_t i = 0; i < kCountOrder.size(); ++i) {
    const int32_t value = Clearances[kCountOrder[i]];
    const auto first = kCountOrder.begin() + static_cast<std::ptrdiff_t>(i);
    const bool seenBefore = std::any_of(kCountOrder.begin(), first,
                                        [&](size_t k) { return Clearances[k] == value; });
    if (seenBefore) continue;
    const auto count = std::count_if(first, kCountOrder.end(),
                                     [&](size_t k) { return Clearances[k] == value; });
    if (count > bestCount) {
      best = value;
      bestCount = static_cast<int>(count);
    }
  }
  return best;
}

int32_t KindClearance(const TClearanceSettings& Clearances, uint8_t PrimitiveCode) {
  return PrimitiveCode < kShares.size() && kShares[PrimitiveCode]
             ? kShares[PrimitiveCode](Clearances)
             : 0;
}

void CreateBoardRules(TPcbBoard& Board, const TClearanceSettings& Clearances,
                      const TRouteSettings& Route) {
  const int32_t common = MostCommonClearance(Clearances);
  const int32_t boardGap = SaturatedSum(common, common);
  AddClearanceRule(Board, boardGap, 0);
  int32_t index = 1;
  for (uint8_t i = kFirstFamily; i <= kLastFamily; ++i)
    for (uint8_t j = i; j <= kLastFamily; ++j) {
      const int32_t gap =
          SaturatedSum(KindClearance(Clearances, i), KindClearance(Clearances, j));
      if (gap != boardGap) AddKindClearanceRule(Board, i, j, index++, gap);
    }
  AddRoutingLayersRule(Board, RoutingDirections(Route), 0);
}

void CreateOldFormatPadRules(TPcbBoard& Board, int16_t FormatLevel) {
  if (FormatLevel > kLastOldPadFormat) return;
  AddSolderMaskRule(Board, "", kOldSolderMask, 0);
  AddPasteMaskRule(Board, "", 0, 0);
  AddPlaneClearanceRule(Board, "", kOldPlaneValue, 0);
  AddPlaneConnectRule(Board, "", 0, 0, kOldPlaneValue, kOldPlaneValue, kOldPlaneValue,
                      kOldPlaneConnectParam3);
}

}  // namespace pcb9
