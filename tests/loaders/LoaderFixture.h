#pragma once
// Two ways to load records in tests: a whole import of a board written in
// the assembler's text form (TImportRunner, checked in the host's document),
// and a loader run directly on record text inside a run that has a board and
// a classifier, for what only the run keeps (the classifier's groups, the
// counters).
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "Document.h"
#include "loaders/ModalAttributes.h"
#include "run/ImportRun.h"
#include "proxies/Board.h"
#include "rules/Classifier.h"
#include "stream/StreamFixture.h"

namespace pcb9test {

// The start of a file at a format level: header and preamble.
inline std::string FileStartAtLevel(int level) {
  static constexpr std::array<const char*, 10> kVersions = {"1.10", "2.00", "2.10", "2.20", "2.30",
                                                            "2.40", "2.50", "2.60", "2.70", "2.80"};
  return std::string("\"PCB FILE 9 VERSION ") + kVersions.at(level) +
         "\"\nlong 0 1 0 0 0 0 0 0 0 0\n";
}

// A whole file at a format level: header, preamble, the body, the end tag.
inline std::string BoardAtLevel(int level, std::string_view body) {
  return FileStartAtLevel(level) + std::string(body) + "\nend\n";
}

inline const morvik::TObject& HostBoard() {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  return *doc.Find(doc.BoardHandle());
}

// The net name the host board gives an internal plane (1..4).
inline std::string PlaneNetName(int plane) {
  return HostBoard().Text("Layers." + std::to_string(38 + plane) + ".NetName");
}

class TLoaderTest : public TStreamTest {
 protected:
  void SetUp() override {
    TStreamTest::SetUp();
    pcb9::TImportRun& run = pcb9::Run();
    run.Board = std::make_unique<pcb9::TPcbBoard>(morvik::TDocument::Instance().BoardHandle());
    run.Board->Sync(1);
    run.Classifier = pcb9::MakeRunPart<pcb9::TClassifier>(run.Board.get());
  }

  // Opens record text at a level, followed by the end tag, and resets the
  // registers, as the driver does before the first group.
  void OpenRecords(std::string_view text, int16_t level) {
    Open(std::string(text) + "\nend\n", level);
    pcb9::ResetModalAttributes();
  }

  // What a family collected, newest group first, each as "value: names"
  // with the names newest first; plane-connect groups show all five values.
  static std::vector<std::string> Collected(pcb9::TRuleFamily family) {
    std::vector<std::string> result;
    const pcb9::TValueFamily& groups = pcb9::Run().Classifier->Groups(family);
    for (size_t g = 0; g < groups.GroupCount(); ++g) {
      const pcb9::TValueGroup& group = groups.GroupAt(g);
      const pcb9::TGroupKey& k = group.Key;
      std::string text = std::to_string(k.Value);
      if (family == pcb9::TRuleFamily::PlaneConnect)
        text += "/" + std::to_string(k.ConnectStyle) + "/" + std::to_string(k.ConnectParam1) + "/" +
                std::to_string(k.ConnectParam2) + "/" + std::to_string(k.ConnectParam3);
      text += ":";
      for (size_t n = 0; n < group.NameCount(); ++n) text += " " + group.NameAt(n);
      result.push_back(text);
    }
    return result;
  }
};

}  // namespace pcb9test
