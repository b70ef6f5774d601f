#pragma once
// Fixture for tests that run the importer against the reference host in
// this process: a fresh host document and progress record, and the host
// application's scripted services back at their defaults (answer No, no
// Esc, no test-mode key, nothing recorded).
#include <gtest/gtest.h>

#include "HostSession.h"

namespace pcb9test {

// A key posted to the host session's queue reaches the importer where the
// platform reads that queue; on Windows it reads the system's own, and the
// Wine suite (tests/wine) presses Esc there.
#if defined(_WIN32)
#define NEED_SESSION_QUEUE() GTEST_SKIP() << "on Windows the importer reads the system's message queue"
#else
#define NEED_SESSION_QUEUE() static_cast<void>(0)
#endif

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
