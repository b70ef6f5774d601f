#include "CoordinateDimensionLoaders.h"

#include <array>

#include "ModalAttributes.h"
#include "ObjectIndex.h"
#include "hostapi/HostOps.h"
#include "hostapi/PcbApi.h"
#include "proxies/Groups.h"
#include "rules/OwnerLinks.h"
#include "run/Abort.h"
#include "run/ImportRun.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

enum class TFieldToken : uint8_t { Coordinate, LowByte, SignedWord };

// One token of a record and the proxy field it goes to.
template <class T>
struct TRecordField {
  TFieldToken Token;
  int32_t T::*Value = nullptr;
  uint8_t T::*Byte = nullptr;
};

template <class T>
constexpr TRecordField<T> Coordinate(int32_t T::*value) {
  return {TFieldToken::Coordinate, value};
}
template <class T>
constexpr TRecordField<T> LowByte(uint8_t T::*byte) {
  return {TFieldToken::LowByte, nullptr, byte};
}
template <class T>
constexpr TRecordField<T> SignedWord(int32_t T::*value) {
  return {TFieldToken::SignedWord, value};
}

using C = TPcbCoordinate;
using D = TPcbDimension;

constexpr std::array<TRecordField<C>, 8> kCoordinateRecord = {{
    Coordinate<C>(&C::X),
    Coordinate<C>(&C::Y),
    Coordinate<C>(&C::CoordValue1),
    LowByte<C>(&C::CoordByte),
    Coordinate<C>(&C::CoordValue2),
    Coordinate<C>(&C::CoordValue3),
    Coordinate<C>(&C::CoordValue4),
    SignedWord<C>(&C::CoordValue5),
}};

constexpr std::array<TRecordField<D>, 10> kDimensionRecord = {{
    Coordinate<D>(&D::X),
    Coordinate<D>(&D::Y),
    Coordinate<D>(&D::DimCoord1),
    Coordinate<D>(&D::DimCoord2),
    Coordinate<D>(&D::DimCoord3),
    LowByte<D>(&D::DimByte),
    Coordinate<D>(&D::DimCoord4),
    Coordinate<D>(&D::DimCoord5),
    Coordinate<D>(&D::DimCoord6),
    SignedWord<D>(&D::DimValue),
}};

// A word the file does not hold leaves the field as the host gave it.
template <class T, size_t N>
void ReadRecord(T& proxy, const std::array<TRecordField<T>, N>& layout) {
  for (const TRecordField<T>& field : layout) {
    if (field.Token == TFieldToken::Coordinate) {
      ReadCoord(proxy.*field.Value);
    } else if (field.Token == TFieldToken::LowByte) {
      int16_t word = proxy.*field.Byte;
      ReadWord(word);
      proxy.*field.Byte = static_cast<uint8_t>(word & 0xFF);
    } else {
      auto word = static_cast<int16_t>(proxy.*field.Value);
      ReadWord(word);
      proxy.*field.Value = word;
    }
  }
}

// Creates the host object, fetches its defaults, steps the progress and
// puts it on the layer the file gives.
template <class T>
void BeginGroupObject(T& proxy) {
  proxy.Sync(kSyncFetch);
  PcbApi_Percent_Update();
  CheckAbort(Run().Aborted);
  proxy.SetLayer(OldLayerToHostLayer(static_cast<uint8_t>(Run().ModalAttributes.AttrLayer & 0xFF)));
}

}  // namespace

uint32_t LoadCoordinate() {
  if (Run().Aborted) return 0;
  TPcbCoordinate coordinate(PcbApi_CreateObject(kCoordinateKind));
  BeginGroupObject(coordinate);
  ReadRecord(coordinate, kCoordinateRecord);
  coordinate.Index = NextObjectIndex(Run().Counters.CoordinateCount);
  coordinate.Sync(kSyncStore);
  RegisterCoordinate(coordinate.Handle);
  return coordinate.Handle;
}

uint32_t LoadDimension() {
  TPcbDimension dimension(PcbApi_CreateObject(kDimensionKind));
  BeginGroupObject(dimension);
  ReadRecord(dimension, kDimensionRecord);
  dimension.Index = NextObjectIndex(Run().Counters.DimensionCount);
  dimension.Sync(kSyncStore);
  RegisterDimension(dimension.Handle);
  dimension.Sync(kSyncStore);
  return dimension.Handle;
}

void LoadCoordinateGroup() { RunGroupLoop(AcceptedAttributes::Coordinate, LoadCoordinate, nullptr); }

void LoadDimensionGroup() { RunGroupLoop(AcceptedAttributes::Dimension, LoadDimension, nullptr); }

}  // namespace pcb9
