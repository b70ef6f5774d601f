// Board iteration through the reference host: what the import's passes
// (rule sweep, owner linking) get to see.
#include <gtest/gtest.h>

#include <vector>

#include "Document.h"
#include "support/HostFixture.h"
#include "Kinds.h"
#include "PcbApiExports.h"
#include "proxies/Board.h"

namespace pcb9 {
namespace {

using morvik::TDocument;
using morvik::TFieldType;

class BoardIteration : public pcb9test::THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    Board = TDocument::Instance().BoardHandle();
    Track1 = Make(morvik::kKindTrack, kTopLayer, Board);
    TrackNoLayer = Make(morvik::kKindTrack, kNoLayer, Board);
    Component = Make(morvik::kKindComponent, kTopLayer, Board);
    InnerTrack = Make(morvik::kKindTrack, kTopLayer, Component);
    InnerPad = Make(morvik::kKindPad, kMultiLayer, Component);
    NameText = Make(morvik::kKindText, kTopOverlay, 0);
    CommentText = Make(morvik::kKindText, kBottomOverlay, 0);
    TDocument::Instance().Find(Component)->Set("NameText", TFieldType::Handle, int64_t{NameText});
    TDocument::Instance().Find(Component)->Set("CommentText", TFieldType::Handle,
                                               int64_t{CommentText});
    Deleted = Make(morvik::kKindTrack, kTopLayer, Board);
    ::PcbApi_DeleteObjectFromContainer(Board, Deleted);
    Rule = ::PcbApi_CreateRuleObject(2);
    ::PcbApi_AddObjectToContainer(Board, Rule);
  }

  uint32_t Make(uint8_t kind, TLayerId layer, uint32_t container) {
    auto& object = TDocument::Instance().Create(kind);
    object.Set("Layer", TFieldType::LayerCode, int64_t{LayerCodeFromId(layer)});
    if (container) ::PcbApi_AddObjectToContainer(container, object.Handle);
    return object.Handle;
  }

  std::vector<uint32_t> Collect(uint32_t kinds, const TLayerSet& layers, uint8_t method) {
    TPcbBoard board(Board);
    std::vector<uint32_t> handles;
    board.IterateObjects([&](uint32_t h) { handles.push_back(h); }, kinds, layers, method);
    return handles;
  }

  uint32_t Board = 0, Track1 = 0, TrackNoLayer = 0, Component = 0, InnerTrack = 0, InnerPad = 0,
           NameText = 0, CommentText = 0, Deleted = 0, Rule = 0;
};

constexpr uint32_t Kind(uint8_t kind) { return 1u << kind; }

TEST_F(BoardIteration, ALayerSetOfNoLayerGivesTheObjectsOnNoLayer) {
  TLayerSet none;
  none.Include(kNoLayer);
  EXPECT_EQ(Collect(Kind(morvik::kKindTrack), none, 1), std::vector<uint32_t>{TrackNoLayer});
}

TEST_F(BoardIteration, TracksOfTheBoardAndItsComponentsComeOnceEach) {
  for (uint8_t method : {0, 1}) {
    EXPECT_EQ(Collect(Kind(morvik::kKindTrack), TLayerSet::Range(1, 75), method),
              (std::vector<uint32_t>{Track1, InnerTrack}))
        << "method " << int(method);
  }
}

TEST_F(BoardIteration, ComponentTextsAndPadsAreFoundOnTheirLayers) {
  const TLayerSet signal = TLayerSet::Range(1, 75);
  EXPECT_EQ(Collect(Kind(morvik::kKindText), signal, 0),
            (std::vector<uint32_t>{NameText, CommentText}));
  EXPECT_EQ(Collect(Kind(morvik::kKindPad), signal, 0), std::vector<uint32_t>{InnerPad});
}

TEST_F(BoardIteration, TheRuleSweepCollectsEveryRuleOnce) {
  const std::vector<uint32_t> rules =
      Collect(Kind(morvik::kKindRule), TLayerSet::Range(1, 75), 1);
  std::vector<uint32_t> expected;
  for (uint32_t h : TDocument::Instance().Find(Board)->Lists.Members())
    if (TDocument::Instance().Find(h)->Kind == morvik::kKindRule) expected.push_back(h);
  EXPECT_EQ(expected.size(), 5u);  // the new board's four and one more
  EXPECT_EQ(rules, expected);
}

TEST_F(BoardIteration, KindBit26AndIdsAbove82VisitNothing) {
  Make(morvik::kKindBoardOutline, kTopLayer, Board);
  EXPECT_TRUE(Collect(Kind(morvik::kKindBoardOutline), TLayerSet::Range(0, 87), 1).empty());
  TLayerSet beyond = TLayerSet::Range(83, 87);
  EXPECT_TRUE(Collect(Kind(morvik::kKindTrack) | Kind(morvik::kKindRule), beyond, 2).empty());
}

}  // namespace
}  // namespace pcb9
