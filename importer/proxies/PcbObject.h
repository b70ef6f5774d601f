#pragma once
// Base of every object proxy: an in-process copy of one host object's
// properties, exchanged with the host in one call (`Sync`), with a uniform
// set of virtual accessors so that pads, tracks, texts and groups can be
// treated alike. The virtual operations are declared in their fixed slot
// order; subclasses replace the ones that concern their own fields.
#include <cstdint>
#include <string>
#include <string_view>

#include "layers/Layers.h"

namespace pcb9 {

// Direction of an exchange with the host.
constexpr uint8_t kSyncStore = 0;
constexpr uint8_t kSyncFetch = 1;

class TPCBObject {
 public:
  uint32_t Handle = 0;
  uint8_t ObjectKind = 0;
  int32_t X = 0;
  int32_t Y = 0;
  uint16_t Flags = 0;
  uint8_t BitField2 = 0;
  uint16_t BitField3 = 0;
  int16_t Index = 0;
  uint8_t StateFlag = 0;  // boolean
  uint32_t Net = 0;
  uint32_t OwnerComponent = 0;
  TLayerCode Layer = 0;

  explicit TPCBObject(uint32_t handle) : Handle(handle) {}
  TPCBObject(const TPCBObject&) = delete;
  TPCBObject& operator=(const TPCBObject&) = delete;

  // Host layer id of `Layer`; `SetLayer` stores the layer code of an id.
  TLayerId GetLayer() const;
  void SetLayer(TLayerId id);

  // --- slot 0 -----------------------------------------------------------------
  // Fetches (kSyncFetch) or stores (kSyncStore) every field; the host status
  // of the last call (0 = success).
  virtual int32_t Sync(uint8_t Direction);

  // --- slots 1 to 36: geometry queries and flag bits ------------------------------
  virtual int32_t GetBoundingRect(int32_t& Left, int32_t& Bottom, int32_t& Right, int32_t& Top);
  virtual void MoveBy(int32_t dx, int32_t dy);
  virtual bool ImportFromUser();
  virtual int32_t Invalidate();
  virtual bool GetFlag0010();
  virtual bool GetBitField2Bit10();
  virtual bool GetBitField2Bit01();
  virtual bool GetBitField2Bit02();
  virtual bool GetBitField2Bit08();
  virtual bool GetBitField2Bit20();
  virtual bool GetBitField2Bit40();
  virtual void SetFlag0010(bool value);
  virtual bool GetFlag0008();
  virtual void SetFlag0008(bool value);  // stores at once
  virtual bool GetFlag0100Clear();
  virtual void SetFlag0100Clear(bool value);  // stores at once
  virtual bool GetBitField3Any();
  virtual void SetBitField3Both(bool value);
  virtual bool GetBitField3Bit02();
  virtual void SetBitField3Bit02(bool value);
  virtual bool GetBitField3Bit04();
  virtual void SetBitField3Bit04(bool value);
  virtual bool GetFlag0800();
  virtual void SetFlag0800(bool value);
  virtual bool GetFlag2000();
  virtual void SetFlag2000(bool value);
  virtual bool GetExtraFlag1();
  virtual void SetExtraFlag1(bool value);
  virtual bool GetExtraFlag2();
  virtual void SetExtraFlag2(bool value);
  virtual bool GetFlag1000();
  virtual void SetFlag1000(bool value);
  virtual bool GetFlag4000();
  virtual void SetFlag4000(bool value);
  virtual bool GetFlag8000();
  virtual void SetFlag8000(bool value);

  // --- slots 37 to 83: getters ----------------------------------------------------
  virtual uint32_t GetHandle();
  virtual uint8_t GetObjectKind();
  virtual int32_t GetX();
  virtual int32_t GetY();
  virtual int32_t GetX2();
  virtual int32_t GetY2();
  virtual uint16_t GetFlags();
  virtual int16_t GetIndex();
  virtual TLayerId GetLayerId();
  virtual bool GetStateFlag();
  virtual uint32_t GetNet();
  virtual uint32_t GetOwnerComponent();
  virtual uint32_t GetOwnerPolygon();
  virtual uint32_t GetOwnerCoordinate();
  virtual uint32_t GetOwnerDimension();
  virtual int32_t GetTopXSize();
  virtual int32_t GetTopYSize();
  virtual int32_t GetMidXSize();
  virtual int32_t GetMidYSize();
  virtual int32_t GetBottomXSize();
  virtual int32_t GetBottomYSize();
  virtual int32_t GetHoleSize();
  virtual uint8_t GetTopShape();
  virtual uint8_t GetMidShape();
  virtual uint8_t GetBottomShape();
  virtual std::string GetName();
  virtual double GetRotation();
  virtual int32_t GetWidth();
  virtual uint8_t GetShape();
  virtual int32_t GetSize();
  virtual int32_t GetXSize();
  virtual int32_t GetYSize();
  virtual TLayerId GetStartLayer();
  virtual TLayerId GetEndLayer();
  virtual int32_t GetRadius();
  virtual double GetStartAngle();
  virtual double GetEndAngle();
  virtual int32_t GetLineWidth();
  virtual int32_t GetBoundingLeft();
  virtual int32_t GetBoundingBottom();
  virtual int32_t GetBoundingRight();
  virtual int32_t GetBoundingTop();
  virtual int32_t GetFont();
  virtual bool GetMirrored();
  virtual std::string GetText();
  virtual bool GetFromToFlag1();
  virtual bool GetFromToFlag2();

  // --- slots 84 to 108: corners and per-layer geometry ---------------------------------
  // Corners of the object's extent grown by `margin` on every side and
  // turned by its rotation about its centre: 1 and 2 along the bottom edge,
  // 3 and 4 along the top edge (before turning).
  virtual int32_t GetCornerX1(int32_t margin);
  virtual int32_t GetCornerY1(int32_t margin);
  virtual int32_t GetCornerX2(int32_t margin);
  virtual int32_t GetCornerY2(int32_t margin);
  virtual int32_t GetCornerX3(int32_t margin);
  virtual int32_t GetCornerY3(int32_t margin);
  virtual int32_t GetCornerX4(int32_t margin);
  virtual int32_t GetCornerY4(int32_t margin);
  virtual int32_t GetSizeOnLayer(TLayerId layer);
  virtual int32_t GetXSizeOnLayer(TLayerId layer);
  virtual int32_t GetYSizeOnLayer(TLayerId layer);
  virtual uint8_t GetShapeOnLayer(TLayerId layer);
  virtual int32_t GetWidthOnLayer(TLayerId layer);
  virtual int32_t GetCornerX1OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerY1OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerX2OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerY2OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerX3OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerY3OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerX4OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetCornerY4OnLayer(TLayerId layer, int32_t margin);
  virtual int32_t GetXOnLayer(TLayerId layer);
  virtual int32_t GetYOnLayer(TLayerId layer);
  virtual int32_t GetX2OnLayer(TLayerId layer);
  virtual int32_t GetY2OnLayer(TLayerId layer);

  // --- slots 109 to 151: setters ---------------------------------------------------
  virtual void SetHandle(uint32_t value);
  virtual void SetObjectKind(uint8_t value);
  virtual void SetX(int32_t value);
  virtual void SetY(int32_t value);
  virtual void SetX2(int32_t value);
  virtual void SetY2(int32_t value);
  virtual void SetFlags(uint16_t value);
  virtual void SetIndex(int16_t value);
  virtual void SetLayerId(TLayerId value);
  virtual void SetStateFlag(bool value);
  virtual void SetNet(uint32_t value);
  virtual void SetOwnerComponent(uint32_t value);
  virtual void SetOwnerPolygon(uint32_t value);
  virtual void SetOwnerCoordinate(uint32_t value);
  virtual void SetOwnerDimension(uint32_t value);
  virtual void SetTopXSize(int32_t value);
  virtual void SetTopYSize(int32_t value);
  virtual void SetMidXSize(int32_t value);
  virtual void SetMidYSize(int32_t value);
  virtual void SetBottomXSize(int32_t value);
  virtual void SetBottomYSize(int32_t value);
  virtual void SetHoleSize(int32_t value);
  virtual void SetTopShape(uint8_t value);
  virtual void SetMidShape(uint8_t value);
  virtual void SetBottomShape(uint8_t value);
  virtual void SetName(std::string_view value);
  virtual void SetRotation(double value);
  virtual void SetWidth(int32_t value);
  virtual void SetShape(uint8_t value);
  virtual void SetSize(int32_t value);
  virtual void SetXSize(int32_t value);
  virtual void SetYSize(int32_t value);
  virtual void SetStartLayer(TLayerId value);
  virtual void SetEndLayer(TLayerId value);
  virtual void SetRadius(int32_t value);
  virtual void SetStartAngle(double value);
  virtual void SetEndAngle(double value);
  virtual void SetLineWidth(int32_t value);
  virtual void SetFont(int32_t value);
  virtual void SetMirrored(bool value);
  virtual void SetText(std::string_view value);
  virtual void SetFromToFlag1(bool value);
  virtual void SetFromToFlag2(bool value);

  // Frees only what the proxy itself allocated; never touches the host object.
  virtual ~TPCBObject() = default;

 protected:
  // The two bit-field exchanges every Sync begins with.
  void SyncBitFields(uint8_t Direction);
  // Whether a host layer id names this object's layer.
  bool OnLayer(TLayerId layer) const { return LayerCodeFromId(layer) == Layer; }

 private:
  int32_t Corner(int which, int32_t margin);
};

// Geometry shared by the object and pad corners: the extent w x h centred on
// (cx, cy), turned by `rotation` degrees; `which` 0..7 selects X1, Y1, X2,
// Y2, X3, Y3, X4, Y4. Results are rounded to the nearest integer, ties to
// even, and kept within the 32-bit range.
int32_t TurnedCorner(int which, double cx, double cy, double w, double h, double rotation);
// A real coordinate rounded to the nearest integer, ties to even, clamped
// to the 32-bit range.
int32_t RoundCoord(double value);
// value + delta, kept within the 32-bit range.
int32_t ShiftCoord(int32_t value, int32_t delta);

}  // namespace pcb9
