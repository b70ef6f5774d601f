#include "proxies/ProxyFromHandle.h"

#include <array>

#include "hostapi/PcbApi.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "proxies/RuleObjects.h"

namespace pcb9 {

namespace {

using TProxyMaker = std::unique_ptr<TPCBObject> (*)(uint32_t);

template <class T>
std::unique_ptr<TPCBObject> Make(uint32_t handle) {
  return std::make_unique<T>(handle);
}

// Proxy class by object kind; null for kinds without a proxy.
constexpr std::array<TProxyMaker, 27> kMakers = {
    nullptr,                          // 0: the board has its own proxy
    Make<TPcbArc>,                    // 1
    Make<TPcbPad>,                    // 2
    Make<TPcbVia>,                    // 3
    Make<TPcbTrack>,                  // 4
    Make<TPcbText>,                   // 5
    Make<TPcbFill>,                   // 6
    Make<TPcbFromTo>,                 // 7
    Make<TPcbNet>,                    // 8
    Make<TPcbComponent>,              // 9
    Make<TPcbPolygon>,                // 10
    Make<TPCBRegion>,                 // 11
    Make<TPcbComponentBody>,          // 12
    Make<TPcbDimension>,              // 13
    Make<TPcbCoordinate>,             // 14
    Make<TPCBObjectClass>,            // 15
    Make<TPcbRule>,                   // 16
    Make<TPcbManualFromTo>,           // 17
    Make<TPcbDifferentialPair>,       // 18
    Make<TPcbViolation>,              // 19
    Make<TPcbEmbedded>,               // 20
    Make<TPcbEmbeddedBoard>,          // 21
    Make<TPcbSplitPlane>,             // 22
    nullptr, nullptr, nullptr,        // 23 to 25
    Make<TPcbBoardOutline>,           // 26
};

template <class T, class Read>
T ReadOf(uint32_t handle, Read read) {
  if (handle == 0) return T{};
  std::unique_ptr<TPCBObject> proxy = ProxyFromHandle(handle);
  return proxy ? read(*proxy) : T{};
}

template <class Write>
void WriteOf(uint32_t handle, Write write) {
  if (handle == 0) return;
  std::unique_ptr<TPCBObject> proxy = ProxyFromHandle(handle);
  if (!proxy) return;
  write(*proxy);
  proxy->Sync(kSyncStore);
}

}  // namespace

std::unique_ptr<TPCBObject> ProxyFromHandle(uint32_t handle) {
  const uint8_t kind = PcbApi_GetObjectIdFromObjectHandle(handle) & 127;
  if (kind >= kMakers.size() || !kMakers[kind]) return nullptr;
  std::unique_ptr<TPCBObject> proxy = kMakers[kind](handle);
  proxy->Sync(kSyncFetch);
  return proxy;
}

int16_t GetIndexOf(uint32_t handle) {
  return ReadOf<int16_t>(handle, [](TPCBObject& p) { return p.GetIndex(); });
}
TLayerId GetLayerOf(uint32_t handle) {
  return ReadOf<TLayerId>(handle, [](TPCBObject& p) { return p.GetLayerId(); });
}
uint32_t GetNetOf(uint32_t handle) {
  return ReadOf<uint32_t>(handle, [](TPCBObject& p) { return p.GetNet(); });
}
uint32_t GetOwnerPolygonOf(uint32_t handle) {
  return ReadOf<uint32_t>(handle, [](TPCBObject& p) { return p.GetOwnerPolygon(); });
}
uint32_t GetOwnerCoordinateOf(uint32_t handle) {
  return ReadOf<uint32_t>(handle, [](TPCBObject& p) { return p.GetOwnerCoordinate(); });
}
uint32_t GetOwnerDimensionOf(uint32_t handle) {
  return ReadOf<uint32_t>(handle, [](TPCBObject& p) { return p.GetOwnerDimension(); });
}
std::string GetTextOf(uint32_t handle) {
  return ReadOf<std::string>(handle, [](TPCBObject& p) { return p.GetText(); });
}

void SetNetOf(uint32_t handle, uint32_t value) {
  WriteOf(handle, [value](TPCBObject& p) { p.SetNet(value); });
}
void SetOwnerComponentOf(uint32_t handle, uint32_t value) {
  WriteOf(handle, [value](TPCBObject& p) { p.SetOwnerComponent(value); });
}
void SetOwnerPolygonOf(uint32_t handle, uint32_t value) {
  WriteOf(handle, [value](TPCBObject& p) { p.SetOwnerPolygon(value); });
}
void SetOwnerCoordinateOf(uint32_t handle, uint32_t value) {
  WriteOf(handle, [value](TPCBObject& p) { p.SetOwnerCoordinate(value); });
}
void SetOwnerDimensionOf(uint32_t handle, uint32_t value) {
  WriteOf(handle, [value](TPCBObject& p) { p.SetOwnerDimension(value); });
}

}  // namespace pcb9
