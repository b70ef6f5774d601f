#pragma once
// A fresh reference host for every test, the importer's binding made anew,
// and no spy left over.
#include <gtest/gtest.h>

#include "ApiSpy.h"
#include "Document.h"
#include "hostapi/PcbApi.h"
#include "support/HostFixture.h"

namespace pcb9test {

class TProxyFixture : public THostFixture {
 protected:
  void SetUp() override {
    THostFixture::SetUp();
    pcb9::UnbindHostApi();
    ResetSpies();
  }
  void TearDown() override {
    ResetSpies();
    pcb9::UnbindHostApi();
    THostFixture::TearDown();
  }
  static morvik::TObject& HostObject(uint32_t handle) {
    morvik::TObject* object = morvik::TDocument::Instance().Find(handle);
    if (!object) throw std::runtime_error("no host object " + std::to_string(handle));
    return *object;
  }
};

}  // namespace pcb9test
