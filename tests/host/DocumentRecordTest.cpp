// Objects keep their fields as records laid out per kind: a field is found
// by its slot, a slot is added to the kind when a field is first stored in
// any of its objects, and an object made before that reads the field as
// never stored until it stores it itself.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Document.h"
#include "Kinds.h"
#include "PcbApiExports.h"
#include "support/HostFixture.h"

namespace morvik {
namespace {

using T = TFieldType;

class Records : public pcb9test::THostFixture {
 protected:
  static TObject& Make(uint8_t kind) { return TDocument::Instance().Create(kind); }
  // A field name no kind has had yet in this process.
  static std::string NewName(const char* stem) {
    static int serial = 0;
    return std::string(stem) + std::to_string(++serial);
  }
};

TEST_F(Records, ValuesReadBackAsStoredAndOtherKindsOfValueFallBack) {
  TObject& track = Make(kKindTrack);
  track.Set("X", T::I32, int64_t{-123456});
  track.Set("Rotation", T::Real, -0.5);
  track.Set("Name", T::Text, std::string("R1\xFF"));
  track.Set("Block", T::Bytes, std::vector<uint8_t>{1, 2, 3});
  EXPECT_EQ(track.Int("X"), -123456);
  EXPECT_EQ(track.Real("Rotation"), -0.5);
  EXPECT_EQ(track.Text("Name"), "R1\xFF");
  EXPECT_EQ(track.Value("Block"), TValue(std::vector<uint8_t>{1, 2, 3}));
  // A value of another kind, or none, gives the fallback.
  EXPECT_EQ(track.Int("Name", 7), 7);
  EXPECT_EQ(track.Real("X", 1.5), 1.5);
  EXPECT_EQ(track.Text("X", "none"), "none");
  EXPECT_EQ(track.Int("NeverAnyFieldsName", 9), 9);
  EXPECT_FALSE(track.Has("NeverAnyFieldsName"));

  // A field stored again as another kind of value is that value now.
  track.Set("Name", T::I32, int64_t{5});
  track.Set("X", T::Text, std::string("x"));
  EXPECT_EQ(track.Int("Name"), 5);
  EXPECT_EQ(track.Text("X"), "x");
  track.Set("X", T::I32, int64_t{8});
  EXPECT_EQ(track.Int("X"), 8);

  track.Erase("Rotation");
  EXPECT_FALSE(track.Has("Rotation"));
  EXPECT_EQ(track.Real("Rotation", 3.0), 3.0);
  EXPECT_EQ(track.StoredFields().count("Rotation"), 0u);
}

TEST_F(Records, AnObjectMadeBeforeItsKindGainedAFieldReadsItAsNeverStored) {
  TObject& older = Make(kKindArc);
  TObject& newer = Make(kKindArc);
  // Enough new fields to outgrow the older object's record several times.
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) names.push_back(NewName("Grown"));
  for (size_t i = 0; i < names.size(); ++i) newer.Set(names[i], T::I32, int64_t(i) - 20);
  for (const std::string& name : names) EXPECT_FALSE(older.Has(name)) << name;
  EXPECT_EQ(older.Int(names.back(), -1), -1);

  older.Set(names.back(), T::I32, int64_t{99});
  older.Set(names.front(), T::Text, std::string("first"));
  EXPECT_EQ(older.Int(names.back()), 99);
  EXPECT_EQ(older.Text(names.front()), "first");
  EXPECT_EQ(older.Int("Radius"), 500000);  // its defaults survive the growth
  for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(newer.Int(names[i]), int64_t(i) - 20);
  // A new object of the kind has every slot, none stored.
  EXPECT_FALSE(Make(kKindArc).Has(names.back()));
}

// Kinds are laid out apart: a field stored in one kind is no field of
// another, and objects do not share their values.
TEST_F(Records, KindsAndObjectsKeepTheirOwnFields) {
  const std::string name = NewName("OnlyOnVias");
  TObject& via = Make(kKindVia);
  via.Set(name, T::U8, int64_t{3});
  TObject copy = via;
  copy.Set(name, T::U8, int64_t{4});
  EXPECT_EQ(via.Int(name), 3);
  EXPECT_EQ(copy.Int(name), 4);
  EXPECT_FALSE(Make(kKindTrack).Has(name));
  EXPECT_NE(via.Layout().SlotOf(FindField(name)), kNoSlot);
  EXPECT_EQ(Make(kKindTrack).Layout().SlotOf(FindField(name)), kNoSlot);
}

// The exchange copies through the slots; the pointee types still cut and
// widen values as the interface's types do.
TEST_F(Records, ExchangeKeepsThePointeeTypes) {
  const uint32_t arc = PcbApi_CreateObject(kKindArc);
  uint16_t flags = 0xFFFF;
  int16_t index = -1;
  uint32_t layer = 0x01010005u, net = 0xFFFFFFFFu, owner = 0, polygon = 0;
  uint8_t state = 2;
  int32_t x = -7, y = 0x7FFFFFFF, radius = 1, width = 2;
  double start = 1.25, end = -0.0;
  ASSERT_EQ(PcbApi_QueryArc(0, arc, &flags, &index, &layer, &net, &state, &owner, &x, &y, &radius,
                            &start, &end, &width, &polygon),
            0);
  const TObject& stored = *TDocument::Instance().Find(arc);
  EXPECT_EQ(stored.Int("Flags"), 0xFFFF);
  EXPECT_EQ(stored.Int("Index"), -1);
  EXPECT_EQ(stored.Int("Net"), 0xFFFFFFFFll);
  EXPECT_EQ(stored.Int("StateFlag"), 1);  // a boolean
  uint16_t flags2 = 0;
  int16_t index2 = 0;
  uint32_t layer2 = 0, net2 = 0, owner2 = 9, polygon2 = 9;
  uint8_t state2 = 0;
  int32_t x2 = 0, y2 = 0, radius2 = 0, width2 = 0;
  double start2 = 0, end2 = 1;
  ASSERT_EQ(PcbApi_QueryArc(1, arc, &flags2, &index2, &layer2, &net2, &state2, &owner2, &x2, &y2,
                            &radius2, &start2, &end2, &width2, &polygon2),
            0);
  EXPECT_EQ(flags2, flags);
  EXPECT_EQ(index2, index);
  EXPECT_EQ(layer2, layer);
  EXPECT_EQ(net2, net);
  EXPECT_EQ(state2, 1);
  EXPECT_EQ(x2, x);
  EXPECT_EQ(y2, y);
  EXPECT_EQ(start2, start);
  EXPECT_TRUE(std::signbit(end2));
  EXPECT_EQ(owner2, 0u);  // stored as 0
}

// A record keeps its texts in one arena it packs as they change: every
// change of a text, to a longer, shorter, empty or other kind of value or
// to a program-long text kept by its address, a text copied from the
// record itself, and copies of the record must read
// back as stored, and the arena must not grow without end while the live
// texts stay small.
TEST(RecordTexts, ReadBackThroughChangesPackingAndCopies) {
  constexpr TSlot kSlots = 12;
  TRecord record;
  std::map<TSlot, std::optional<std::string>> model;  // nullopt: not a text
  auto expectModel = [&](const TRecord& r, int step) {
    for (TSlot slot = 0; slot < kSlots; ++slot) {
      const auto it = model.find(slot);
      const bool text = it != model.end() && it->second;
      ASSERT_EQ(r.Text(slot).has_value(), text) << "step " << step << " slot " << slot;
      if (text) {
        ASSERT_EQ(*r.Text(slot), *it->second) << "step " << step << " slot " << slot;
      }
    }
  };
  uint32_t seed = 12345;
  auto next = [&seed](uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  for (int step = 0; step < 3000; ++step) {
    const auto slot = static_cast<TSlot>(next(kSlots));
    switch (next(7)) {
      case 0:
        record.SetInt(slot, TFieldType::I32, step);
        model[slot] = std::nullopt;
        break;
      case 1:
        record.Erase(slot);
        model.erase(slot);
        break;
      case 2: {  // a text of this very record, stored again elsewhere
        const auto from = static_cast<TSlot>(next(kSlots));
        if (const auto text = record.Text(from)) {
          model[slot] = std::string(*text);
          record.SetText(slot, TFieldType::Text, *text);
        }
        break;
      }
      case 3: {  // a program-long text kept by its address, no arena bytes
        static const char* const kNames[] = {"", "PcbApi_QueryRuleWidth", "a name longer than any text of the others"};
        const char* name = kNames[next(3)];
        record.SetStaticText(slot, TFieldType::Text, name);
        model[slot] = std::string(name);
        break;
      }
      default: {
        const std::string text(next(40), static_cast<char>('a' + step % 26));
        record.SetText(slot, TFieldType::Text, text);
        model[slot] = text;
      }
    }
    expectModel(record, step);
    // Live texts are at most 12 x 39 bytes: the arena stays within a few times that.
    ASSERT_LE(record.ArenaSize(), 4u * kSlots * 40) << "step " << step;
  }
  TRecord copy(record, 100);
  EXPECT_GE(copy.SlotCapacity(), 100u);
  expectModel(copy, -1);
  copy.SetText(0, TFieldType::Text, std::string(300, 'z'));
  EXPECT_EQ(copy.Text(0)->size(), 300u);
  expectModel(record, -2);  // the original keeps its own
  TRecord assigned;
  assigned = copy;
  EXPECT_EQ(*assigned.Text(0), std::string(300, 'z'));
}

// A new object is made with room for every slot its kind has by then, its
// prototype's defaults included.
TEST_F(Records, ANewObjectHasRoomForItsKindsSlotsAndOnlyItsDefaults) {
  const auto defaults = Make(kKindFill).StoredFields();
  TObject& first = Make(kKindFill);
  for (int i = 0; i < 30; ++i) first.Set(NewName("Filled"), T::Text, std::string(20, 'f'));
  TObject& next = Make(kKindFill);
  EXPECT_GE(next.Record().SlotCapacity(), next.Layout().SlotCount());
  EXPECT_EQ(next.StoredFields(), defaults);
}

// Reset brings back the new board and forgets everything made since; the
// handles count on from the new board's objects again.
TEST_F(Records, ResetGivesTheNewDocumentBack) {
  TDocument& doc = TDocument::Instance();
  const size_t newObjects = doc.Objects().size();
  TObject& board = *doc.Find(doc.BoardHandle());
  const auto newBoard = board.StoredFields();
  const uint32_t track = PcbApi_CreateObject(kKindTrack);
  const uint32_t net = PcbApi_CreateObject(kKindNet);
  ASSERT_EQ(PcbApi_AddObjectToContainer(doc.BoardHandle(), track), 0);
  ASSERT_EQ(PcbApi_AddObjectToContainer(net, track), 0);
  board.Set("BoardInfo.2", T::Text, std::string("x.PCB"));
  doc.Reset();
  EXPECT_EQ(doc.Objects().size(), newObjects);
  EXPECT_EQ(doc.Find(track), nullptr);
  EXPECT_EQ(doc.Find(doc.BoardHandle())->StoredFields(), newBoard);
  EXPECT_EQ(doc.Find(doc.BoardHandle())->Lists.Members().size(), newObjects - 1);
  // The same handles again, and no membership left over from before.
  EXPECT_EQ(PcbApi_CreateObject(kKindTrack), track);
  EXPECT_EQ(PcbApi_CreateObject(kKindNet), net);
  EXPECT_EQ(PcbApi_AddObjectToContainer(net, track), 0);
}

}  // namespace
}  // namespace morvik
