// The loaders as the component loader calls them: a group given a component
// adds every object to it and none to the board, and a component's text is
// read with the text attribute run and a single text record, added nowhere.
#include <gtest/gtest.h>

#include <memory>

#include "Document.h"
#include "run/ImportRun.h"
#include "hostapi/PcbApi.h"
#include "loaders/ArcViaFillLoaders.h"
#include "loaders/TextLoader.h"
#include "proxies/Board.h"
#include "proxies/Groups.h"
#include "proxies/Primitives.h"
#include "stream/StreamFixture.h"

namespace pcb9 {
namespace {

class ComponentSubGroup : public pcb9test::TStreamTest {
 protected:
  void SetUp() override {
    TStreamTest::SetUp();
    pcb9::Run().Board = std::make_unique<TPcbBoard>(Document().BoardHandle());
  }
  morvik::TDocument& Document() { return morvik::TDocument::Instance(); }
  const morvik::TObject& Object(uint32_t handle) { return *Document().Find(handle); }
};

TEST_F(ComponentSubGroup, GroupsAddTheirObjectsToTheComponent) {
  TPcbComponent component(PcbApi_CreateObject(kComponentKind));
  Open(R"(
coord 0 0 1
real 0
real 90
coord 1
word 0
"v"
)");
  LoadArcGroup(&component);
  Open("coord 0 0 0 0\nword 0\n\"f\"\n");
  LoadViaGroup(&component);
  Open("coord 0 0 1 1\nreal 0\n\"x\"\n");
  LoadFillGroup(&component);
  Open("coord 0 0\nreal 0\ncoord 0 0 0 0\n\"T\"\n\"E\"\n");
  LoadTextGroup(&component);

  const std::vector<uint32_t>& members = Object(component.Handle).Lists.Members();
  ASSERT_EQ(members.size(), 4u);
  const uint8_t kinds[] = {kArcKind, kViaKind, kFillKind, kTextKind};
  for (size_t i = 0; i < members.size(); ++i) EXPECT_EQ(Object(members[i]).Kind, kinds[i]);
  for (uint32_t member : Object(Document().BoardHandle()).Lists.Members())
    for (uint8_t kind : kinds) EXPECT_NE(Object(member).Kind, kind);
  for (uint32_t member : members) EXPECT_EQ(Object(member).Container, component.Handle);
  ExpectNoMessage();
}

TEST_F(ComponentSubGroup, DesignatorTextIsReadAndAddedNowhere) {
  Open(R"(
attr 6 17          # TopOverlay
attr 28 60mil
coord 5 6
real 0
coord 0 0 0 0
"U1"
attr 6 34
"ignored: the next keyword"
)");
  ReadTextAttributes();
  const uint32_t designator = LoadText();
  ASSERT_NE(designator, 0u);
  const morvik::TObject& text = Object(designator);
  EXPECT_EQ(text.Text("Text"), "U1");
  EXPECT_EQ(text.Int("Layer"), 33);
  EXPECT_EQ(text.Int("Height"), 600000);
  EXPECT_EQ(text.Container, 0u);
  // The next text's attribute run starts right after the record.
  ReadTextAttributes();
  EXPECT_EQ(pcb9::Run().ModalAttributes.AttrLayer, 34);
  EXPECT_EQ(PeekToken(), tkString);
  ExpectNoMessage();
}

}  // namespace
}  // namespace pcb9
