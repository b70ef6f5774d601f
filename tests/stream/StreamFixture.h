#pragma once
// Runs the token reader over a file written in the assembler's text form,
// with the reference host's services recording every message box.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "TokenAsm.h"
#include "run/ImportRun.h"
#include "stream/TokenStream.h"
#include "support/HostFixture.h"

namespace pcb9test {

class TStreamTest : public THostFixture {
 protected:
  static constexpr const char* kFileName = "board.PCB";

  void SetUp() override {
    THostFixture::SetUp();
    pcb9::ResetRecoveryWarning();
    pcb9::BeginRun();
  }
  void TearDown() override {
    pcb9::CloseTokenFile();
    pcb9::EndRun();
    THostFixture::TearDown();
  }

  // Opens the bytes as the run's file, reads the first block and clears the
  // flags, as the driver does.
  void OpenBytes(const std::vector<uint8_t>& bytes, int16_t level) {
    pcb9::OpenTokenBuffer(bytes.data(), bytes.size());
    pcb9::Run().ImportFileName = kFileName;
    pcb9::ReadNextBlock();
    pcb9::Run().EndReached = false;
    pcb9::Run().Aborted = false;
    pcb9::Run().FormatLevel = level;
  }
  // The text is assembled at the same format level.
  void Open(std::string_view text, int16_t level = 9) {
    OpenBytes(pcb9::tokenasm::AssembleText("level " + std::to_string(level) + "\n" +
                                           std::string(text)),
              level);
  }

  // The text is assembled as written (its first string sets the level, as
  // in the importer); the reader starts at level 0, as before the header.
  void OpenAsWritten(std::string_view text) { OpenBytes(pcb9::tokenasm::AssembleText(text), 0); }

  const std::vector<pcb9host::TMessageRecord>& Messages() { return Session().Messages(); }

  // Exactly one box was shown: the corruption report naming the file.
  void ExpectOneCorruptionReport() {
    ASSERT_EQ(Messages().size(), 1u);
    const pcb9host::TMessageRecord& box = Messages()[0];
    EXPECT_EQ(box.Text, std::string("File Corruption: ") + kFileName);
    EXPECT_EQ(box.Caption, "Import");
    EXPECT_EQ(box.Icon, "warning");
    EXPECT_EQ(box.Buttons, "ok");
    EXPECT_TRUE(pcb9::Run().Aborted);
  }
  void ExpectNoMessage() {
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(pcb9::Run().Aborted);
  }
};

// `count` data words of the value, as assembler text.
inline std::string DataWords(int count, int value = 1) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i % 64 == 0 ? "\nword " : " ") + std::to_string(value);
  return text + "\n";
}

}  // namespace pcb9test
