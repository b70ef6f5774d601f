#pragma once
// Fixture for tests that run the importer against the reference host in
// this process: a fresh host document and progress record, and the host
// application's scripted services back at their defaults (answer No, no
// Esc, no test-mode key, nothing recorded).
#include <gtest/gtest.h>

#include "HostSession.h"

namespace pcb9test {

class THostFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  pcb9host::THostSession& Session() { return pcb9host::THostSession::Instance(); }
  // The test-mode registry key exists from here on (on Windows the host
  // makes it as its user interface starts, so that starts again).
  void EnterTestMode();
};

// Clears the host document and the scripted services.
void ResetHost();

}  // namespace pcb9test
