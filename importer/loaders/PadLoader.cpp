#include "PadLoader.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "ModalAttributes.h"
#include "ObjectIndex.h"
#include "PrimitiveRecord.h"
#include "run/ImportRun.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "rules/Classifier.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

// Levels from which the record holds the mid and bottom shapes, and the
// rotation with the mask and plane values.
constexpr int16_t kThreeShapesLevel = 6;
constexpr int16_t kRuleValuesLevel = 8;

constexpr size_t kClassifierNameLength = 255;
constexpr size_t kFreePadClassifierNameLength = 25;

// A shape that is drawn from its sizes: with a zero size the pad is empty.
constexpr uint8_t kSizedShape = 6;

// Values of the record that only the classifier takes.
struct TPadRuleValues {
  int32_t SolderMaskExpansion = 0;
  int32_t PasteMaskExpansion = 0;
  int32_t ConnectParam1 = 0;
  int32_t ConnectParam2 = 0;
  int32_t PlaneExpansion = 0;
  int16_t ConnectParam3 = 0;
};

// What files before the rule values meant by a plane connection: 10 mil
// expansion, 10 mil and 10 mil, 4 entries.
constexpr TPadRuleValues kOldPlaneConnect = {0, 0, 100000, 100000, 100000, 4};

// Connect style of each plane-connect code below 13; none means the pad is
// not connected to planes. Codes from 13 on have style 2.
constexpr std::array<std::optional<uint8_t>, 13> kConnectStyles = {
    std::nullopt, 0, 1, std::nullopt, 0, 1, std::nullopt, 0, 1, std::nullopt, 0, 1, std::nullopt};
constexpr uint8_t kHighCodeConnectStyle = 2;

std::optional<uint8_t> ConnectStyle(uint8_t code) {
  return code < kConnectStyles.size() ? kConnectStyles[code] : kHighCodeConnectStyle;
}

// A shape word; on a failed read the shape keeps what it had.
void ReadShape(uint8_t& shape) {
  int16_t word = shape;
  ReadWord(word);
  shape = static_cast<uint8_t>(word & 0xFF);
}

void ReadShapes(TPcbPad& pad) {
  ReadShape(pad.TopShape);
  if (Run().FormatLevel >= kThreeShapesLevel) {
    ReadShape(pad.MidShape);
    ReadShape(pad.BottomShape);
  } else {
    pad.MidShape = pad.BottomShape = pad.TopShape;
  }
}

TPadRuleValues ReadRuleValues(TPcbPad& pad) {
  TPadRuleValues v;
  double rotation = 0;
  ReadReal(rotation);
  pad.Rotation = rotation;
  ReadCoord(v.SolderMaskExpansion);
  ReadCoord(v.PasteMaskExpansion);
  ReadCoord(v.ConnectParam1);
  ReadCoord(v.ConnectParam2);
  ReadCoord(v.PlaneExpansion);
  ReadWord(v.ConnectParam3);
  return v;
}

void ReadName(TPcbPad& pad) {
  TShortString name = pad.Name;
  ReadString(name);
  pad.SetName(name.View());
}

std::string Cut(std::string name, size_t length) {
  if (name.size() > length) name.resize(length);
  return name;
}

// The name under which the pad is classified. A free pad's file name is
// replaced by its number among the free pads of the import.
std::string PadClassifierName(TPcbPad& pad, std::string_view componentPrefix) {
  if (!componentPrefix.empty())
    return Cut(std::string(componentPrefix) + "-" + pad.Name.Str(), kClassifierNameLength);
  int32_t& number = Run().FreePadNumber;
  if (number < kMaxFreePadNumber) ++number;
  pad.SetName(std::to_string(number));
  return Cut("Free-" + pad.Name.Str(), kFreePadClassifierNameLength);
}

bool HasMasks(TLayerId layer) {
  return layer == kTopLayer || layer == kBottomLayer || layer == kMultiLayer;
}

void ClassifyPad(const TPcbPad& pad, const TPadRuleValues& values, uint8_t connectCode,
                 std::string_view name) {
  TClassifier* classifier = Run().Classifier.get();
  if (!classifier) return;
  const bool hasRuleValues = Run().FormatLevel >= kRuleValuesLevel;
  std::array<TFamilyKey, 4> keys{};
  size_t count = 0;
  const auto add = [&](TRuleFamily family, const TGroupKey& key) { keys[count++] = {family, key}; };
  if (hasRuleValues && HasMasks(pad.GetLayer())) {
    add(TRuleFamily::SolderMaskExpansion, {values.SolderMaskExpansion});
    add(TRuleFamily::PasteMaskExpansion, {values.PasteMaskExpansion});
  }
  if (hasRuleValues && pad.GetLayer() == kMultiLayer)
    add(TRuleFamily::PlaneExpansion, {values.PlaneExpansion});
  // The plane connection depends on the register alone, whatever the layer.
  if (const std::optional<uint8_t> style = ConnectStyle(connectCode)) {
    const TPadRuleValues& c = hasRuleValues ? values : kOldPlaneConnect;
    add(TRuleFamily::PlaneConnect,
        {c.PlaneExpansion, *style, c.ConnectParam1, c.ConnectParam2, c.ConnectParam3});
  }
  classifier->AddAll(name, std::span(keys).first(count));
}

// A shape drawn from its sizes with a zero size on any of the three layer
// groups leaves nothing to place.
bool IsEmptyPad(const TPcbPad& pad) {
  const std::array<std::array<int32_t, 3>, 3> groups = {{
      {pad.TopShape, pad.TopXSize, pad.TopYSize},
      {pad.MidShape, pad.MidXSize, pad.MidYSize},
      {pad.BottomShape, pad.BottomXSize, pad.BottomYSize},
  }};
  for (const auto& [shape, x, y] : groups)
    if (shape == kSizedShape && (x == 0 || y == 0)) return true;
  return false;
}

void TakeRegisters(TPcbPad& pad) {
  const TModalAttributes& a = Run().ModalAttributes;
  ApplyFlagsAndLayer(pad);
  pad.X = a.AttrPadX;
  pad.Y = a.AttrPadY;
  pad.TopXSize = a.AttrPadTopXSize;
  pad.TopYSize = a.AttrPadTopYSize;
  pad.MidXSize = a.AttrPadMidXSize;
  pad.MidYSize = a.AttrPadMidYSize;
  pad.BottomXSize = a.AttrPadBottomXSize;
  pad.BottomYSize = a.AttrPadBottomYSize;
  pad.HoleSize = a.AttrPadHoleSize;
}

}  // namespace

uint32_t LoadPad(TPcbComponent* component) {
  const std::string componentPrefix = component ? component->GetName() : std::string();
  TPcbPad pad(PcbApi_CreateObject(kPadKind));
  BeginPrimitive(pad);

  TakeRegisters(pad);
  const TModalAttributes& a = Run().ModalAttributes;
  const uint32_t net = SignExtend(a.AttrNet);

  ReadShapes(pad);
  TPadRuleValues values;
  if (Run().FormatLevel >= kRuleValuesLevel)
    values = ReadRuleValues(pad);
  else
    pad.Rotation = 0;
  ReadName(pad);

  const std::string classifierName = PadClassifierName(pad, componentPrefix);
  ClassifyPad(pad, values, static_cast<uint8_t>(a.AttrPadPlaneConnect & 0xFF), classifierName);

  pad.Index = NextObjectIndex(Run().Counters.PadCount);
  pad.Net = net;
  pad.Sync(0);
  return IsEmptyPad(pad) ? 0 : pad.Handle;
}

void LoadPadGroup(TPcbComponent* component) {
  RunGroupLoop(AcceptedAttributes::Pad, [component] { return LoadPad(component); }, component);
}

}  // namespace pcb9
