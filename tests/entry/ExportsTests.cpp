// The plug-in's exports, called as a host calls them: the built plug-in is
// loaded by path and bound by name in this program, which holds the host
// PCB module and exports the host application's services.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <set>
#include <sstream>

#include "Document.h"
#include "Kinds.h"
#include "Module.h"
#include "Plugin.h"
#include "TokenAsm.h"
#include "hostapi/ShortString.h"
#include "support/Child.h"
#include "support/HostFixture.h"
#include "support/ImportRunner.h"
#include "support/TempDir.h"

namespace {

using pcb9host::TPlugin;

const std::string kPluginPath = pcb9test::BinPath("libpcb9import.so");

// The minimal file of version 2.80: header, ten preamble values, end tag,
// filler to the end of the block.
std::string MinimalFile(const std::vector<int32_t>& preamble) {
  std::string bytes;
  auto word = [&](uint16_t w) {
    bytes += static_cast<char>(w & 0xFF);
    bytes += static_cast<char>(w >> 8);
  };
  const std::string header = "PCB FILE 9 VERSION 2.80";
  word(0xA100 | header.size());
  for (size_t i = 0; i < header.size(); i += 2)
    word(static_cast<uint16_t>(static_cast<uint8_t>(header[i]) |
                               (i + 1 < header.size() ? static_cast<uint8_t>(header[i + 1]) << 8 : 0)));
  for (int32_t value : preamble) {
    word(static_cast<uint16_t>(static_cast<uint32_t>(value) >> 16));
    word(static_cast<uint16_t>(value & 0xFFFF));
  }
  word(0xA200);
  while (bytes.size() < 4096) word(0xA000);
  return bytes;
}

class PluginExports : public pcb9test::THostFixture {
 protected:
  static void SetUpTestSuite() { Plugin = new TPlugin(kPluginPath); }
  static void TearDownTestSuite() {
    delete Plugin;
    Plugin = nullptr;
  }
  void SetUp() override {
    THostFixture::SetUp();
    ASSERT_TRUE(Plugin->Loaded()) << Plugin->Error();
  }
  template <class T>
  T Export(const char* name) {
    void* module = dlopen(kPluginPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    void* symbol = module ? dlsym(module, name) : nullptr;
    if (module) dlclose(module);
    T fn;
    std::memcpy(&fn, &symbol, sizeof fn);
    return fn;
  }
  uint32_t Board() const { return morvik::TDocument::Instance().BoardHandle(); }
  size_t ObjectCount() const { return morvik::TDocument::Instance().Objects().size(); }
  // A board of two top-layer tracks; returns its path.
  std::string WriteTwoTracks() const {
    const std::string path = Dir.File("tracks.PCB");
    pcb9::tokenasm::WriteBytesFile(path, pcb9::tokenasm::AssembleText(R"(
      "PCB FILE 9 VERSION 2.80"
      long 0 2 0 0 0 0 0 0 0 0
      "TH"
      attr 6 1
      coord 0 100mil 0
      word 0 0
      coord 0 100mil 50mil
      word 0 0
      end
    )"));
    return path;
  }

  static TPlugin* Plugin;
  pcb9test::TTempDir Dir;
};

TPlugin* PluginExports::Plugin = nullptr;

TEST_F(PluginExports, DescriptionIsOneConstantString) {
  auto describe = Export<pcb9host::TGetPcbImporterDescription>("GetPcbImporterDescription");
  ASSERT_NE(describe, nullptr);
  const char* first = describe();
  EXPECT_STREQ(first, "Orvane RER 2.8 Binary File (*.PCB)");
  EXPECT_EQ(describe(), first);
}

TEST_F(PluginExports, RecognitionReadsOnlyTheLengthPrefixedName) {
  const std::string path = Dir.Write("board.PCB", "PCB FILE 9 VERSION 2.80\n");
  EXPECT_TRUE(Plugin->Recognised(path));
  EXPECT_FALSE(Plugin->Recognised(path + "x"));
  auto recognise = Export<pcb9host::TRecognisedPCBFile>("RecognisedPCBFile");
  std::string prefixed(1, static_cast<char>(path.size()));
  prefixed += path + "trailing bytes";
  EXPECT_EQ(recognise(reinterpret_cast<const uint8_t*>(prefixed.data())), 1);
  EXPECT_EQ(recognise(nullptr), 0);
}

TEST_F(PluginExports, UnrecognisedFileLeavesTheBoardUntouched) {
  const std::string path = Dir.Write("notes.txt", "just some notes\n");
  const size_t objects = ObjectCount();
  EXPECT_FALSE(Plugin->Import(path, "", static_cast<int32_t>(Board())));
  EXPECT_EQ(ObjectCount(), objects);
  EXPECT_TRUE(Session().Messages().empty());
  EXPECT_EQ(morvik::Progress().Finished, 0);
  auto import = Export<pcb9host::TImportFileIntoPcb>("ImportFileIntoPcb");
  EXPECT_EQ(import(nullptr, nullptr, static_cast<int32_t>(Board())), 0);
  EXPECT_TRUE(Session().Messages().empty());
}

// Whatever the second argument holds, the import is the same.
class SecondArgument : public PluginExports, public ::testing::WithParamInterface<const char*> {
 protected:
  bool ImportWithSecond(const std::string& path) {
    const char* second = GetParam();
    auto import = Export<pcb9host::TImportFileIntoPcb>("ImportFileIntoPcb");
    const TShortString name(path);
    if (!second) return import(reinterpret_cast<const uint8_t*>(&name), nullptr,
                               static_cast<int32_t>(Board())) != 0;
    const TShortString other(second);
    return import(reinterpret_cast<const uint8_t*>(&name), reinterpret_cast<const uint8_t*>(&other),
                  static_cast<int32_t>(Board())) != 0;
  }
};

TEST_P(SecondArgument, TextFileFailsAtTheHeaderWithOneCorruptionMessage) {
  const std::string path = Dir.Write("text.PCB", "PCB FILE 9 VERSION 2.80\nmore text\n");
  EXPECT_FALSE(ImportWithSecond(path));
  ASSERT_EQ(Session().Messages().size(), 1u);
  const pcb9host::TMessageRecord& m = Session().Messages()[0];
  EXPECT_EQ(m.Text, "File Corruption: " + path);
  EXPECT_EQ(m.Caption, "Import");
  EXPECT_EQ(m.Icon, "warning");
  EXPECT_EQ(m.Buttons, "ok");
  EXPECT_EQ(morvik::Progress().Finished, 1);
}

TEST_P(SecondArgument, MinimalFileImports) {
  const std::string path = Dir.Write("minimal.PCB", MinimalFile({900, 1, 900, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_TRUE(ImportWithSecond(path));
  EXPECT_TRUE(Session().Messages().empty());
  EXPECT_EQ(morvik::Progress().Caption, "Loading " + path + " (Binary 2.8)");
  EXPECT_EQ(morvik::Progress().Total, 1 + 2 + 3 + 4 + 5 + 6 + 7 + 8);
  EXPECT_EQ(morvik::Progress().Updates, 0);
  EXPECT_EQ(morvik::Progress().Finished, 1);
}

INSTANTIATE_TEST_SUITE_P(Values, SecondArgument,
                         ::testing::Values(nullptr, "", "C:\\some\\other.PCB"));

// An exception thrown inside the run (here by the host's progress display)
// does not leave the export: the run is torn down as on an abort, what was
// added stays, and the next import starts afresh.
TEST_F(PluginExports, ExceptionInsideTheRunEndsItWithFalse) {
  const std::string path = WriteTwoTracks();
  Session().SetProgressListener([](const morvik::TProgress& p) {
    if (p.Updates == 1) throw std::runtime_error("host failure");
  });
  EXPECT_FALSE(Plugin->Import(path, "", static_cast<int32_t>(Board())));
  EXPECT_EQ(morvik::Progress().Finished, 1);
  // Tracks the host holds, attached or not: the one being made when the
  // exception came stays in the document.
  auto tracks = [] {
    size_t count = 0;
    for (const morvik::TObject* track : pcb9test::ObjectsOfKind(morvik::kKindTrack))
      count += !track->Deleted;
    return count;
  };
  EXPECT_EQ(tracks(), 1u);

  Session().SetProgressListener(nullptr);
  EXPECT_TRUE(Plugin->Import(path, "", static_cast<int32_t>(Board())));
  EXPECT_EQ(tracks(), 3u);
  EXPECT_EQ(morvik::Progress().Finished, 2);
}

// Memory that runs out during the run (here in the host's progress
// display) ends it with false and one error box that says so, once the run
// has let go of its own memory.
TEST_F(PluginExports, MemoryRunningOutEndsTheRunWithFalseAndSaysSo) {
  const std::string path = WriteTwoTracks();
  Session().SetProgressListener([](const morvik::TProgress& p) {
    if (p.Updates == 1) throw std::bad_alloc();
  });
  EXPECT_FALSE(Plugin->Import(path, "", static_cast<int32_t>(Board())));
  Session().SetProgressListener(nullptr);
  EXPECT_EQ(morvik::Progress().Finished, 1);
  ASSERT_EQ(Session().Messages().size(), 1u);
  const pcb9host::TMessageRecord& box = Session().Messages()[0];
  EXPECT_EQ(box.Text, "Not enough memory to finish importing " + path +
                          "; what was loaded stays on the board.");
  EXPECT_EQ(box.Caption, "Import");
  EXPECT_EQ(box.Icon, "error");
  EXPECT_EQ(box.Buttons, "ok");
}

// A host that calls back into the importer during a run (here from the
// progress display) is refused; the running import goes on unharmed.
TEST_F(PluginExports, ImportAskedForDuringARunIsRefused) {
  const std::string path = WriteTwoTracks();
  int nestedCalls = 0;
  bool nestedResult = true;
  Session().SetProgressListener([&](const morvik::TProgress& p) {
    if (p.Updates != 1) return;
    ++nestedCalls;
    nestedResult = Plugin->Import(path, "", static_cast<int32_t>(Board()));
  });
  EXPECT_TRUE(Plugin->Import(path, "", static_cast<int32_t>(Board())));
  Session().SetProgressListener(nullptr);
  EXPECT_EQ(nestedCalls, 1);
  EXPECT_FALSE(nestedResult);
  EXPECT_EQ(morvik::Progress().Updates, 2);
  EXPECT_EQ(morvik::Progress().Finished, 1);
  EXPECT_TRUE(Session().Messages().empty());
}

TEST(PluginSymbols, OnlyTheThreeExportsAreVisible) {
  const auto nm = pcb9test::RunProgram({"/usr/bin/nm", "-D", "--defined-only", kPluginPath});
  ASSERT_EQ(nm.ExitCode, 0) << nm.Err;
  std::set<std::string> symbols;
  std::istringstream lines(nm.Out);
  std::string address, type, name;
  while (lines >> address >> type >> name)
    if (name != "_init" && name != "_fini") symbols.insert(name);
  EXPECT_EQ(symbols, (std::set<std::string>{"GetPcbImporterDescription", "ImportFileIntoPcb",
                                             "RecognisedPCBFile"}));
}

}  // namespace
