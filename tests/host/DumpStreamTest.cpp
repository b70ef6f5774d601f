// The dump is written as it goes, object by object; what it writes must be
// byte for byte what nlohmann's dump(2) prints for the same value, since
// checks compare dumps as text.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>

#include "Document.h"
#include "Dump.h"
#include "DumpJson.h"
#include "JsonStream.h"
#include "Kinds.h"
#include "ObjectStore.h"
#include "PcbApiExports.h"
#include "support/HostFixture.h"

namespace morvik {
namespace {

using nlohmann::json;

// Writes a value through the stream's own calls, as the dump writes its
// objects.
void Stream(TJsonStream& out, const json& value) {
  switch (value.type()) {
    case json::value_t::object:
      out.BeginObject();
      for (const auto& [key, item] : value.items()) {
        out.Key(key);
        Stream(out, item);
      }
      out.EndObject();
      break;
    case json::value_t::array:
      out.BeginArray();
      for (const json& item : value) Stream(out, item);
      out.EndArray();
      break;
    case json::value_t::string: out.String(value.get<std::string>()); break;
    case json::value_t::boolean: out.Bool(value.get<bool>()); break;
    case json::value_t::number_float: out.Real(value.get<double>()); break;
    case json::value_t::number_integer: out.Int(value.get<int64_t>()); break;
    case json::value_t::number_unsigned: out.Int(static_cast<int64_t>(value.get<uint64_t>())); break;
    default: out.Json(value); break;  // null
  }
}

std::string Streamed(const json& value, bool whole) {
  std::ostringstream text;
  {
    TJsonStream out(text);
    if (whole)
      out.Json(value);
    else
      Stream(out, value);
  }
  return text.str();
}

TEST(JsonStream, PrintsAsNlohmannDumpsWithTwoSpaces) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const json cases[] = {
      json::object(),
      json::array(),
      json::array({json::array(), json::object(), json::array({1})}),
      {{"b", 1}, {"a", json::array({true, false, nullptr})}, {"c", json::object()}},
      json::array({0.0, -0.0, 4.8, 200000.0, 1e300, 1e-7, -2.5e-300, nan,
                   std::numeric_limits<double>::infinity()}),
      json::array({std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), -1,
                   0, 4294967295u}),
      json::array({"plain", "quote \" and \\ backslash", "tab\tnew\nline\r\x01\x1F", "\x7F",
                   "R\xC2\xB5" "1 \xE2\x82\xAC", ""}),
      {{"objects", json::array({{{"members", json::array({1, 2})}, {"kind", "Net"}}})},
       {"\xC3\xA9t\xC3\xA9", {{"deep", json::array({json::array({json::object({{"x", 1}})})})}}}},
  };
  for (const json& value : cases) {
    SCOPED_TRACE(value.dump());
    EXPECT_EQ(Streamed(value, false), value.dump(2));
    EXPECT_EQ(Streamed(value, true), value.dump(2));
  }
}

// A small value handed over whole lands at the depth it is written at.
TEST(JsonStream, WholeValuesAreIndentedToTheirDepth) {
  const json inner = {{"list", json::array({1, json::array({2})})}, {"text", "a\nb"}};
  std::ostringstream text;
  {
    TJsonStream out(text);
    out.BeginObject();
    out.Key("outer");
    out.BeginArray();
    out.Json(inner);
    out.Json(json::array());
    out.EndArray();
    out.EndObject();
  }
  EXPECT_EQ(text.str(), json({{"outer", json::array({inner, json::array()})}}).dump(2));
}

class StreamedDump : public pcb9test::THostFixture {};

// Objects of every form the dump has: fields of each type, layer arrays,
// segments, references, a rule's constraint, class members, a deleted
// object, Latin-1 texts; the sections around "objects" in key order.
TEST_F(StreamedDump, IsWhatNlohmannPrintsForTheSameDocument) {
  TDocument& doc = TDocument::Instance();
  const uint32_t board = doc.BoardHandle();
  const uint32_t pad = PcbApi_CreateObject(kKindPad);
  PcbApi_SetPadSizeOnLayer(pad, 7, -3, 4);
  const uint32_t text = PcbApi_CreateObject(kKindText);
  doc.Find(text)->Set("Text", TFieldType::Text, std::string("\"Q\\1\" \xB5\x01"));
  doc.Find(text)->Set("Rotation", TFieldType::Real, 22.5);
  const uint32_t polygon = PcbApi_CreateObject(kKindPolygon);
  uint8_t records[2 * kSegmentSize] = {};
  records[kSegmentSize] = 1;
  int32_t count = 1;
  ExchangeSegments(0, *doc.Find(polygon), &count, records);
  const uint32_t dimension = PcbApi_CreateObject(kKindDimension);
  SetStoredReferences(*doc.Find(dimension), {TReference{{1, -2, 3, 4}}});
  const uint32_t rule = PcbApi_CreateRuleObject(2);
  int32_t min = 5, max = 6;
  PcbApi_QueryRuleMaxMinWidthConstraint(0, rule, &min, &max);
  const uint32_t objectClass = PcbApi_CreateObject(kKindClass);
  const TShortString member("N\xE9t");
  PcbApi_AddMemberToClass(objectClass, &member);
  for (uint32_t handle : {pad, text, polygon, dimension, rule})
    ASSERT_EQ(PcbApi_AddObjectToContainer(board, handle), 0);
  ASSERT_EQ(PcbApi_DeleteObjectFromContainer(board, text), 0);

  json sections = pcb9host::DumpSections({});
  sections["aaa"] = json::array({1});
  sections["zzz"] = {{"b", 2.5}, {"a", "x"}};
  sections["objects"] = "left out";
  std::ostringstream out;
  pcb9host::WriteImportDump(out, sections);
  const std::string written = out.str();

  const json dump = json::parse(written);
  EXPECT_EQ(written, dump.dump(2));
  ASSERT_EQ(dump["objects"].size(), doc.Objects().size());
  EXPECT_EQ(dump["objects"][text - 1]["deleted"], true);
  json rest = dump;
  rest.erase("objects");
  sections.erase("objects");
  EXPECT_EQ(rest, sections);
}

}  // namespace
}  // namespace morvik
