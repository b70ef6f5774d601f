// The reference host's iterators, called as the importer calls them.
#include <gtest/gtest.h>

#include <vector>

#include "Document.h"
#include "support/HostFixture.h"
#include "Kinds.h"
#include "PcbApiExports.h"

namespace morvik {
namespace {

constexpr uint32_t kTop = 1, kBottom = 32, kTopOverlay = 33, kMulti = 74;

class HostIterators : public pcb9test::THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    Board = TDocument::Instance().BoardHandle();
  }

  uint32_t Make(uint8_t kind, uint32_t layer, uint32_t container) {
    TObject& object = TDocument::Instance().Create(kind);
    object.Set("Layer", TFieldType::LayerCode, int64_t{layer});
    if (container) {
      EXPECT_EQ(PcbApi_AddObjectToContainer(container, object.Handle), 0);
    }
    return object.Handle;
  }

  std::vector<uint32_t> Walk(uint32_t container, uint8_t kind, uint8_t method, uint32_t layer) {
    const uint32_t it = PcbApi_CreateIterator(container, kind, method, layer);
    EXPECT_NE(it, 0u);
    std::vector<uint32_t> out;
    for (uint32_t h = PcbApi_GetFirstObject(it); h; h = PcbApi_GetNextObject(it)) out.push_back(h);
    EXPECT_EQ(PcbApi_DestroyIterator(it), 0);
    return out;
  }

  uint32_t Board = 0;
};

using Handles = std::vector<uint32_t>;

TEST_F(HostIterators, BoardIteratorFiltersByKindAndLayerAndSkipsDeletedObjects) {
  const uint32_t top = Make(kKindTrack, kTop, Board);
  const uint32_t bottom = Make(kKindTrack, kBottom, Board);
  const uint32_t arc = Make(kKindArc, kTop, Board);
  const uint32_t gone = Make(kKindTrack, kTop, Board);
  Make(kKindTrack, kTop, 0);  // never added: not on the board
  ASSERT_EQ(PcbApi_DeleteObjectFromContainer(Board, gone), 0);

  EXPECT_EQ(Walk(Board, kKindTrack, 0, kTop), Handles{top});
  EXPECT_EQ(Walk(Board, kKindTrack, 1, kBottom), Handles{bottom});
  EXPECT_EQ(Walk(Board, kKindArc, 1, kTop), Handles{arc});
  EXPECT_EQ(Walk(Board, kKindTrack, 2, 0), (Handles{top, bottom}));  // every layer
}

TEST_F(HostIterators, RulesAndNewViasAreOnMultiLayer) {
  const uint32_t rule = PcbApi_CreateRuleObject(2);
  PcbApi_AddObjectToContainer(Board, rule);
  TObject& via = TDocument::Instance().Create(kKindVia);
  via.Erase("Layer");
  PcbApi_AddObjectToContainer(Board, via.Handle);

  const Handles rules = Walk(Board, kKindRule, 1, kMulti);
  EXPECT_EQ(rules.size(), 5u);  // four of the new board, one added
  EXPECT_EQ(rules.back(), rule);
  EXPECT_TRUE(Walk(Board, kKindRule, 1, kTop).empty());
  EXPECT_EQ(Walk(Board, kKindVia, 1, kMulti), Handles{via.Handle});
}

TEST_F(HostIterators, ComponentsShowTheirMembersAndTextsOnTheBoard) {
  const uint32_t component = Make(kKindComponent, kTop, Board);
  const uint32_t pad = Make(kKindPad, kMulti, component);
  const uint32_t track = Make(kKindTrack, kTopOverlay, component);
  const uint32_t name = Make(kKindText, kTopOverlay, 0);
  const uint32_t comment = Make(kKindText, kBottom, 0);
  TObject& c = *TDocument::Instance().Find(component);
  c.Set("NameText", TFieldType::Handle, int64_t{name});
  c.Set("CommentText", TFieldType::Handle, int64_t{comment});

  EXPECT_EQ(Walk(Board, kKindPad, 0, kMulti), Handles{pad});
  EXPECT_EQ(Walk(Board, kKindText, 0, kTopOverlay), Handles{name});
  EXPECT_EQ(Walk(Board, kKindText, 1, kBottom), Handles{comment});
  // The component's own track lies on the layer as well.
  EXPECT_EQ(Walk(Board, kKindTrack, 0, kTopOverlay), Handles{track});
  // On the component: its members whatever their layer, no texts.
  EXPECT_EQ(Walk(component, kKindPad, 2, 0), Handles{pad});
  EXPECT_TRUE(Walk(component, kKindText, 2, 0).empty());
  EXPECT_EQ(Walk(component, kKindTrack, 0, kBottom), Handles{track});
  // Kind 0 on a component: its members of every kind.
  EXPECT_EQ(Walk(component, 0, 2, 0), (Handles{pad, track}));
}

TEST_F(HostIterators, TheGroupsMethodAddsMembersOfOtherGroupsOnce) {
  const uint32_t net = Make(kKindNet, 0, Board);
  const uint32_t free = Make(kKindTrack, kTop, 0);
  ASSERT_EQ(PcbApi_AddObjectToContainer(net, free), 0);
  EXPECT_TRUE(Walk(Board, kKindTrack, 0, kTop).empty());
  EXPECT_EQ(Walk(Board, kKindTrack, 1, kTop), Handles{free});
}

// The board's walks are kept between iterators; each change they depend on
// must show in the next iterator made.
TEST_F(HostIterators, EveryChangeAWalkDependsOnShowsInTheNextIterator) {
  const uint32_t track = Make(kKindTrack, kTop, Board);
  const uint32_t net = Make(kKindNet, 0, Board);
  const uint32_t component = Make(kKindComponent, kTop, Board);
  const uint32_t loose = Make(kKindTrack, kTop, 0);
  const uint32_t text = Make(kKindText, kTop, 0);
  EXPECT_EQ(Walk(Board, kKindTrack, 0, kTop), Handles{track});
  EXPECT_EQ(Walk(Board, kKindTrack, 1, kTop), Handles{track});

  uint32_t bottom = kBottom;  // a layer stored through a query
  ASSERT_EQ(PcbApi_QueryPrimitive(0, track, nullptr, nullptr, &bottom, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(Walk(Board, kKindTrack, 0, kTop).empty());
  EXPECT_EQ(Walk(Board, kKindTrack, 1, kBottom), Handles{track});

  ASSERT_EQ(PcbApi_AddObjectToContainer(net, loose), 0);  // seen by the groups methods
  EXPECT_TRUE(Walk(Board, kKindTrack, 0, kTop).empty());
  EXPECT_EQ(Walk(Board, kKindTrack, 1, kTop), Handles{loose});
  EXPECT_EQ(Walk(Board, kKindTrack, 2, 0), (Handles{track, loose}));
  ASSERT_EQ(PcbApi_DeleteObjectFromContainer(net, loose), 0);
  EXPECT_TRUE(Walk(Board, kKindTrack, 1, kTop).empty());

  TDocument::Instance().Find(component)->Set("NameText", TFieldType::Handle, int64_t{text});
  EXPECT_EQ(Walk(Board, kKindText, 0, kTop), Handles{text});

  ASSERT_EQ(PcbApi_DeleteObjectFromContainer(Board, component), 0);
  EXPECT_TRUE(Walk(Board, kKindText, 0, kTop).empty());
  EXPECT_EQ(Walk(Board, kKindTrack, 0, kBottom), Handles{track});

  // A new document numbers its objects from the same handles again.
  TDocument::Instance().Reset();
  const uint32_t arc = Make(kKindArc, kBottom, Board);
  ASSERT_EQ(arc, track);
  EXPECT_TRUE(Walk(Board, kKindTrack, 0, kBottom).empty());
  EXPECT_EQ(Walk(Board, kKindArc, 0, kBottom), Handles{arc});
}

TEST_F(HostIterators, AnIteratorKeepsWhatItFoundWhenTheBoardChanges) {
  const uint32_t a = Make(kKindTrack, kTop, Board);
  const uint32_t b = Make(kKindTrack, kTop, Board);
  const uint32_t it = PcbApi_CreateIterator(Board, kKindTrack, 1, kTop);
  PcbApi_DeleteObjectFromContainer(Board, a);
  Make(kKindTrack, kTop, Board);
  EXPECT_EQ(PcbApi_GetFirstObject(it), a);
  EXPECT_EQ(PcbApi_GetNextObject(it), b);
  EXPECT_EQ(PcbApi_GetNextObject(it), 0u);
  EXPECT_EQ(PcbApi_GetNextObject(it), 0u);
  EXPECT_EQ(PcbApi_GetFirstObject(it), a);  // starts over
  EXPECT_EQ(PcbApi_DestroyIterator(it), 0);
}

TEST_F(HostIterators, BadHandlesAndMethodsGiveNoIterator) {
  const uint32_t track = Make(kKindTrack, kTop, Board);
  EXPECT_EQ(PcbApi_CreateIterator(0, kKindTrack, 1, kTop), 0u);
  EXPECT_EQ(PcbApi_CreateIterator(track, kKindTrack, 1, kTop), 0u);  // not a container
  EXPECT_EQ(PcbApi_CreateIterator(Board, kKindTrack, 3, kTop), 0u);
  EXPECT_EQ(PcbApi_GetFirstObject(12345), 0u);
  EXPECT_EQ(PcbApi_GetNextObject(0), 0u);
  const uint32_t it = PcbApi_CreateIterator(Board, kKindTrack, 1, kTop);
  EXPECT_EQ(PcbApi_DestroyIterator(it), 0);
  EXPECT_EQ(PcbApi_DestroyIterator(it), 1);
  EXPECT_EQ(PcbApi_GetFirstObject(it), 0u);
}

}  // namespace
}  // namespace morvik
