#include "proxies/PcbObject.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"

namespace pcb9 {

namespace {
template <class T>
void SetBit(T& word, unsigned mask, bool on) {
  word = static_cast<T>(on ? (word | mask) : (word & ~mask));
}
}  // namespace

TLayerId TPCBObject::GetLayer() const { return LayerIdFromCode(Layer); }
void TPCBObject::SetLayer(TLayerId id) { Layer = LayerCodeFromId(id); }

void TPCBObject::SyncBitFields(uint8_t Direction) {
  PcbApi_GetObjectBitField2(Direction, Handle, &BitField2);
  PcbApi_GetObjectBitField3(Direction, Handle, &BitField3);
}

int32_t TPCBObject::Sync(uint8_t Direction) {
  SyncBitFields(Direction);
  return PcbApi_QueryPrimitive(Direction, Handle, &Flags, &Index, &Layer, &Net, &OwnerComponent,
                               &StateFlag);
}

int32_t TPCBObject::GetBoundingRect(int32_t& Left, int32_t& Bottom, int32_t& Right, int32_t& Top) {
  return PcbApi_QueryObjectBoundingRectangle(Handle, &Left, &Bottom, &Right, &Top);
}

void TPCBObject::MoveBy(int32_t dx, int32_t dy) {
  X = ShiftCoord(X, dx);
  Y = ShiftCoord(Y, dy);
}

bool TPCBObject::ImportFromUser() { return PcbApi_QueryObjectImport_FromUser(Handle) == 0; }
int32_t TPCBObject::Invalidate() { return PcbApi_QueryObjectGraphicallyInvalidate(Handle); }

bool TPCBObject::GetFlag0010() { return Flags & 0x0010; }
bool TPCBObject::GetBitField2Bit10() { return BitField2 & 0x10; }
bool TPCBObject::GetBitField2Bit01() { return BitField2 & 0x01; }
bool TPCBObject::GetBitField2Bit02() { return BitField2 & 0x02; }
bool TPCBObject::GetBitField2Bit08() { return BitField2 & 0x08; }
bool TPCBObject::GetBitField2Bit20() { return BitField2 & 0x20; }
bool TPCBObject::GetBitField2Bit40() { return BitField2 & 0x40; }
void TPCBObject::SetFlag0010(bool value) { SetBit(Flags, 0x0010, value); }

bool TPCBObject::GetFlag0008() { return Flags & 0x0008; }
void TPCBObject::SetFlag0008(bool value) {
  SetBit(Flags, 0x0008, value);
  Sync(kSyncStore);
}

bool TPCBObject::GetFlag0100Clear() { return !(Flags & 0x0100); }
void TPCBObject::SetFlag0100Clear(bool value) {
  SetBit(Flags, 0x0100, !value);
  Sync(kSyncStore);
}

bool TPCBObject::GetBitField3Any() { return GetBitField3Bit02() || GetBitField3Bit04(); }
void TPCBObject::SetBitField3Both(bool value) {
  SetBitField3Bit02(value);
  SetBitField3Bit04(value);
}
bool TPCBObject::GetBitField3Bit02() { return BitField3 & 0x02; }
void TPCBObject::SetBitField3Bit02(bool value) { SetBit(BitField3, 0x02, value); }
bool TPCBObject::GetBitField3Bit04() { return BitField3 & 0x04; }
void TPCBObject::SetBitField3Bit04(bool value) { SetBit(BitField3, 0x04, value); }

bool TPCBObject::GetFlag0800() { return Flags & 0x0800; }
void TPCBObject::SetFlag0800(bool value) { SetBit(Flags, 0x0800, value); }
bool TPCBObject::GetFlag2000() { return Flags & 0x2000; }
void TPCBObject::SetFlag2000(bool value) { SetBit(Flags, 0x2000, value); }
bool TPCBObject::GetExtraFlag1() { return false; }
void TPCBObject::SetExtraFlag1(bool) {}
bool TPCBObject::GetExtraFlag2() { return false; }
void TPCBObject::SetExtraFlag2(bool) {}
bool TPCBObject::GetFlag1000() { return Flags & 0x1000; }
void TPCBObject::SetFlag1000(bool value) { SetBit(Flags, 0x1000, value); }
bool TPCBObject::GetFlag4000() { return Flags & 0x4000; }
void TPCBObject::SetFlag4000(bool value) { SetBit(Flags, 0x4000, value); }
bool TPCBObject::GetFlag8000() { return Flags & 0x8000; }
void TPCBObject::SetFlag8000(bool value) { SetBit(Flags, 0x8000, value); }

uint32_t TPCBObject::GetHandle() { return Handle; }
uint8_t TPCBObject::GetObjectKind() { return ObjectKind; }
int32_t TPCBObject::GetX() { return X; }
int32_t TPCBObject::GetY() { return Y; }
int32_t TPCBObject::GetX2() { return X; }
int32_t TPCBObject::GetY2() { return Y; }
uint16_t TPCBObject::GetFlags() { return Flags; }
int16_t TPCBObject::GetIndex() { return Index; }
TLayerId TPCBObject::GetLayerId() { return GetLayer(); }
bool TPCBObject::GetStateFlag() { return StateFlag != 0; }
uint32_t TPCBObject::GetNet() { return Net; }
uint32_t TPCBObject::GetOwnerComponent() { return OwnerComponent; }
uint32_t TPCBObject::GetOwnerPolygon() { return 0; }
uint32_t TPCBObject::GetOwnerCoordinate() { return 0; }
uint32_t TPCBObject::GetOwnerDimension() { return 0; }
int32_t TPCBObject::GetTopXSize() { return 0; }
int32_t TPCBObject::GetTopYSize() { return 0; }
int32_t TPCBObject::GetMidXSize() { return 0; }
int32_t TPCBObject::GetMidYSize() { return 0; }
int32_t TPCBObject::GetBottomXSize() { return 0; }
int32_t TPCBObject::GetBottomYSize() { return 0; }
int32_t TPCBObject::GetHoleSize() { return 0; }
uint8_t TPCBObject::GetTopShape() { return 0; }
uint8_t TPCBObject::GetMidShape() { return 0; }
uint8_t TPCBObject::GetBottomShape() { return 0; }
std::string TPCBObject::GetName() { return {}; }
double TPCBObject::GetRotation() { return 0; }
int32_t TPCBObject::GetWidth() { return 0; }
uint8_t TPCBObject::GetShape() { return 0; }
int32_t TPCBObject::GetSize() { return 0; }
int32_t TPCBObject::GetXSize() { return GetSize(); }
int32_t TPCBObject::GetYSize() { return GetSize(); }
TLayerId TPCBObject::GetStartLayer() { return 0; }
TLayerId TPCBObject::GetEndLayer() { return 0; }
int32_t TPCBObject::GetRadius() { return 0; }
double TPCBObject::GetStartAngle() { return 0; }
double TPCBObject::GetEndAngle() { return 0; }
int32_t TPCBObject::GetLineWidth() { return 0; }

int32_t TPCBObject::GetBoundingLeft() {
  int32_t l = 0, b = 0, r = 0, t = 0;
  GetBoundingRect(l, b, r, t);
  return l;
}
int32_t TPCBObject::GetBoundingBottom() {
  int32_t l = 0, b = 0, r = 0, t = 0;
  GetBoundingRect(l, b, r, t);
  return b;
}
int32_t TPCBObject::GetBoundingRight() {
  int32_t l = 0, b = 0, r = 0, t = 0;
  GetBoundingRect(l, b, r, t);
  return r;
}
int32_t TPCBObject::GetBoundingTop() {
  int32_t l = 0, b = 0, r = 0, t = 0;
  GetBoundingRect(l, b, r, t);
  return t;
}

int32_t TPCBObject::GetFont() { return 0; }
bool TPCBObject::GetMirrored() { return false; }
std::string TPCBObject::GetText() { return {}; }
bool TPCBObject::GetFromToFlag1() { return false; }
bool TPCBObject::GetFromToFlag2() { return false; }

// --- corners -------------------------------------------------------------------

int32_t ShiftCoord(int32_t value, int32_t delta) {
  return RoundCoord(static_cast<double>(int64_t{value} + delta));
}

int32_t RoundCoord(double value) {
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  double r = std::nearbyint(value);
  if (std::isnan(r)) return 0;
  if (r < lo) return std::numeric_limits<int32_t>::min();
  if (r > hi) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

int32_t TurnedCorner(int which, double cx, double cy, double w, double h, double rotation) {
  const double r = std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2));
  // arctan(w/h); with no height the limit from above (a quarter turn, or
  // nothing at all when the extent is empty), so a flat extent still turns.
  const double halfPi = std::acos(0.0);
  const double t = h != 0 ? std::atan(w / h) : (w > 0 ? halfPi : (w < 0 ? -halfPi : 0.0));
  const double a = t + DegToRad(-rotation);
  const double b = DegToRad(90 - rotation) - t;
  double v = 0;
  switch (which) {
    case 0: v = cx - std::sin(a) * r; break;
    case 1: v = cy - std::cos(a) * r; break;
    case 2: v = cx + std::cos(b) * r; break;
    case 3: v = cy - std::sin(b) * r; break;
    case 4: v = cx - std::cos(b) * r; break;
    case 5: v = cy + std::sin(b) * r; break;
    case 6: v = cx + std::sin(a) * r; break;
    default: v = cy + std::cos(a) * r; break;
  }
  return RoundCoord(v);
}

int32_t TPCBObject::Corner(int which, int32_t margin) {
  const int64_t x1 = GetX(), y1 = GetY(), x2 = GetX2(), y2 = GetY2();
  const int64_t w = std::llabs(x2 - x1) + 2 * int64_t{margin};
  const int64_t h = std::llabs(y2 - y1) + 2 * int64_t{margin};
  const double cx = static_cast<double>(x1 / 2 + x2 / 2);
  const double cy = static_cast<double>(y1 / 2 + y2 / 2);
  if (h == 0) {
    // A flat extent keeps its line whatever the rotation.
    if (which % 2 == 1) return RoundCoord(cy);
    const bool left = which == 0 || which == 4;
    return RoundCoord(left ? cx - static_cast<double>(w) / 2 : cx + static_cast<double>(w) / 2);
  }
  return TurnedCorner(which, cx, cy, static_cast<double>(w), static_cast<double>(h), GetRotation());
}

int32_t TPCBObject::GetCornerX1(int32_t margin) { return Corner(0, margin); }
int32_t TPCBObject::GetCornerY1(int32_t margin) { return Corner(1, margin); }
int32_t TPCBObject::GetCornerX2(int32_t margin) { return Corner(2, margin); }
int32_t TPCBObject::GetCornerY2(int32_t margin) { return Corner(3, margin); }
int32_t TPCBObject::GetCornerX3(int32_t margin) { return Corner(4, margin); }
int32_t TPCBObject::GetCornerY3(int32_t margin) { return Corner(5, margin); }
int32_t TPCBObject::GetCornerX4(int32_t margin) { return Corner(6, margin); }
int32_t TPCBObject::GetCornerY4(int32_t margin) { return Corner(7, margin); }

int32_t TPCBObject::GetSizeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetSize() : 0; }
int32_t TPCBObject::GetXSizeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetXSize() : 0; }
int32_t TPCBObject::GetYSizeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetYSize() : 0; }
uint8_t TPCBObject::GetShapeOnLayer(TLayerId layer) { return OnLayer(layer) ? GetShape() : 0; }
int32_t TPCBObject::GetWidthOnLayer(TLayerId layer) { return OnLayer(layer) ? GetWidth() : 0; }

int32_t TPCBObject::GetCornerX1OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerX1(margin) : 0;
}
int32_t TPCBObject::GetCornerY1OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerY1(margin) : 0;
}
int32_t TPCBObject::GetCornerX2OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerX2(margin) : 0;
}
int32_t TPCBObject::GetCornerY2OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerY2(margin) : 0;
}
int32_t TPCBObject::GetCornerX3OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerX3(margin) : 0;
}
int32_t TPCBObject::GetCornerY3OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerY3(margin) : 0;
}
int32_t TPCBObject::GetCornerX4OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerX4(margin) : 0;
}
int32_t TPCBObject::GetCornerY4OnLayer(TLayerId layer, int32_t margin) {
  return OnLayer(layer) ? GetCornerY4(margin) : 0;
}

int32_t TPCBObject::GetXOnLayer(TLayerId layer) { return OnLayer(layer) ? GetX() : 0; }
int32_t TPCBObject::GetYOnLayer(TLayerId layer) { return OnLayer(layer) ? GetY() : 0; }
int32_t TPCBObject::GetX2OnLayer(TLayerId layer) { return OnLayer(layer) ? GetX2() : 0; }
int32_t TPCBObject::GetY2OnLayer(TLayerId layer) { return OnLayer(layer) ? GetY2() : 0; }

// --- setters -------------------------------------------------------------------

void TPCBObject::SetHandle(uint32_t value) { Handle = value; }
void TPCBObject::SetObjectKind(uint8_t value) { ObjectKind = value; }
void TPCBObject::SetX(int32_t value) { X = value; }
void TPCBObject::SetY(int32_t value) { Y = value; }
void TPCBObject::SetX2(int32_t) {}
void TPCBObject::SetY2(int32_t) {}
void TPCBObject::SetFlags(uint16_t value) { Flags = value; }
void TPCBObject::SetIndex(int16_t value) { Index = value; }
void TPCBObject::SetLayerId(TLayerId value) { SetLayer(value); }
void TPCBObject::SetStateFlag(bool value) { StateFlag = value ? 1 : 0; }
void TPCBObject::SetNet(uint32_t value) { Net = value; }
void TPCBObject::SetOwnerComponent(uint32_t value) { OwnerComponent = value; }
void TPCBObject::SetOwnerPolygon(uint32_t) {}
void TPCBObject::SetOwnerCoordinate(uint32_t) {}
void TPCBObject::SetOwnerDimension(uint32_t) {}
void TPCBObject::SetTopXSize(int32_t) {}
void TPCBObject::SetTopYSize(int32_t) {}
void TPCBObject::SetMidXSize(int32_t) {}
void TPCBObject::SetMidYSize(int32_t) {}
void TPCBObject::SetBottomXSize(int32_t) {}
void TPCBObject::SetBottomYSize(int32_t) {}
void TPCBObject::SetHoleSize(int32_t) {}
void TPCBObject::SetTopShape(uint8_t) {}
void TPCBObject::SetMidShape(uint8_t) {}
void TPCBObject::SetBottomShape(uint8_t) {}
void TPCBObject::SetName(std::string_view) {}
void TPCBObject::SetRotation(double) {}
void TPCBObject::SetWidth(int32_t) {}
void TPCBObject::SetShape(uint8_t) {}
void TPCBObject::SetSize(int32_t) {}
void TPCBObject::SetXSize(int32_t) {}
void TPCBObject::SetYSize(int32_t) {}
void TPCBObject::SetStartLayer(TLayerId) {}
void TPCBObject::SetEndLayer(TLayerId) {}
void TPCBObject::SetRadius(int32_t) {}
void TPCBObject::SetStartAngle(double) {}
void TPCBObject::SetEndAngle(double) {}
void TPCBObject::SetLineWidth(int32_t) {}
void TPCBObject::SetFont(int32_t) {}
void TPCBObject::SetMirrored(bool) {}
void TPCBObject::SetText(std::string_view) {}
void TPCBObject::SetFromToFlag1(bool) {}
void TPCBObject::SetFromToFlag2(bool) {}

}  // namespace pcb9
