#include "NetLoader.h"

#include <limits>

#include "ObjectIndex.h"
#include "hostapi/PcbApi.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "rules/Classifier.h"
#include "rules/OwnerLinks.h"
#include "run/Abort.h"
#include "run/ImportRun.h"
#include "stream/TokenStream.h"

namespace pcb9 {

namespace {

// Levels from which the record holds each of its trailing items.
constexpr int16_t kTwoWordsLevel = 2;
constexpr int16_t kPlaneCodeLevel = 4;
constexpr int16_t kOneWordLevel = 5;
constexpr int16_t kNetValueLevel = 8;

// Words of one entry of the two lists the importer reads past.
constexpr int kFirstListEntryWords = 2;
constexpr int kSecondListEntryWordsLevel0 = 5;
constexpr int kSecondListEntryWords = 4;

// File layer codes of InternalPlane1..InternalPlane4.
constexpr uint8_t kFirstPlaneCode = 23, kLastPlaneCode = 26;

void SkipString() {
  TShortString ignored;
  ReadString(ignored);
}

void SkipWords(int count) {
  int16_t ignored = 0;
  for (int i = 0; i < count; ++i) ReadWord(ignored);
}

// Entries follow while the next token is a data word; each entry consumes
// at least that word, or fails and ends the loop. A user's abort does not:
// the record is read to its end.
void SkipEntries(int words) {
  while (PeekToken() == tkData && !StreamFailed()) SkipWords(words);
}

void SkipLists() {
  SkipString();
  SkipEntries(kFirstListEntryWords);
  SkipString();
  SkipString();
  SkipEntries(Run().FormatLevel == 0 ? kSecondListEntryWordsLevel0 : kSecondListEntryWords);
  SkipString();
}

void ReadRoutingValues(std::string_view name) {
  int32_t width = 0, viaSize = 0;
  int16_t topology = 0, priority = 0;
  ReadCoord(width);
  ReadCoord(viaSize);
  ReadWord(topology);
  ReadWord(priority);
  TClassifier* classifier = Run().Classifier.get();
  if (!classifier) return;
  classifier->AddTrackWidth(width, name);
  classifier->AddViaSize(viaSize, name);
  classifier->AddTopology(static_cast<uint16_t>(topology), name);
  classifier->AddRoutingPriority(static_cast<uint16_t>(priority), name);
}

// Whether a split plane names the net at this place in the file. A split
// plane names its net by a 16-bit number, so no split plane names a net
// past 65535 (a wrapped number would name another net).
bool OwnsSplitPlane(int32_t number) {
  return number <= std::numeric_limits<uint16_t>::max() &&
         Run().SplitPlaneNets.contains(static_cast<uint16_t>(number));
}

// An internal plane takes the name of the net connected to it, unless that
// net owns a split plane: the plane then keeps the name it had.
void NamePlane(uint8_t planeCode, int32_t number, std::string_view name) {
  if (planeCode < kFirstPlaneCode || planeCode > kLastPlaneCode) return;
  if (OwnsSplitPlane(number)) return;
  TPcbBoard& board = *Run().Board;
  board.Sync(1);
  board.SetPlaneNetName(planeCode - kFirstPlaneCode + 1, name);
  board.Sync(0);
}

void ReadPlaneAndValue(TPcbNet& net, int32_t number) {
  int16_t planeCode = 0;
  ReadWord(planeCode);
  NamePlane(static_cast<uint8_t>(planeCode & 0xFF), number, net.Name.View());
  if (Run().FormatLevel < kNetValueLevel) return;
  ReadLong(net.NetValue);
  SkipWords(1);
}

}  // namespace

uint32_t LoadNet() {
  TPcbNet net(PcbApi_CreateObject(kNetKind));
  net.Sync(1);
  PcbApi_Percent_Update();
  CheckAbort(Run().Aborted);

  ReadString(net.Name);
  ReadRoutingValues(net.Name.View());

  net.Index = NextObjectIndex(Run().Counters.NetCount);
  const int32_t number = Run().Counters.NetCount;
  net.Sync(0);
  RegisterNet(net.Handle);

  SkipLists();
  const int16_t level = Run().FormatLevel;
  if (level >= kTwoWordsLevel) SkipWords(2);
  if (level >= kOneWordLevel) SkipWords(1);
  if (level < kPlaneCodeLevel)
    net.SetLayer(kMultiLayer);
  else
    ReadPlaneAndValue(net, number);

  net.Sync(0);
  return FileEndedEarly() ? 0 : net.Handle;
}

}  // namespace pcb9
