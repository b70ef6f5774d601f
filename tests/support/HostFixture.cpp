#include "HostFixture.h"

#include "Module.h"
#include "client/ClientServices.h"
#include "platform/Platform.h"

namespace pcb9test {

void ResetHost() {
  morvik::ResetModule();
  pcb9host::THostSession::Instance().Reset();
  // The importer's services come from this program, as in the host.
  pcb9::platform::BindHostServices(pcb9::platform::MainModule());
  pcb9::BindClientApi(pcb9::platform::MainModule());
}

void THostFixture::SetUp() { ResetHost(); }

void THostFixture::TearDown() { ResetHost(); }

}  // namespace pcb9test
