#pragma once
// Proxies made from a bare host handle of unknown kind, and readers and
// writers of one property by handle.
#include <cstdint>
#include <memory>
#include <string>

#include "proxies/PcbObject.h"

namespace pcb9 {

// A fetched proxy of the class that fits the object's kind (the low seven
// bits of the host's kind byte); none for kinds without a proxy (0, 23 to
// 25, above 26) and when the host is absent.
std::unique_ptr<TPCBObject> ProxyFromHandle(uint32_t handle);

// Readers: 0 (empty) for handle 0 and for a handle whose kind has no proxy.
int16_t GetIndexOf(uint32_t handle);
TLayerId GetLayerOf(uint32_t handle);
uint32_t GetNetOf(uint32_t handle);
uint32_t GetOwnerPolygonOf(uint32_t handle);
uint32_t GetOwnerCoordinateOf(uint32_t handle);
uint32_t GetOwnerDimensionOf(uint32_t handle);
// The string of a text object; empty for any other kind.
std::string GetTextOf(uint32_t handle);

// Writers: fetch, set the one property, store every field back. Nothing
// for handle 0 or a handle whose kind has no proxy.
void SetNetOf(uint32_t handle, uint32_t value);
void SetOwnerComponentOf(uint32_t handle, uint32_t value);
void SetOwnerPolygonOf(uint32_t handle, uint32_t value);
void SetOwnerCoordinateOf(uint32_t handle, uint32_t value);
void SetOwnerDimensionOf(uint32_t handle, uint32_t value);

}  // namespace pcb9
