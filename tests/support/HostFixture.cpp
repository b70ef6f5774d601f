#include "HostFixture.h"

#include "HostSystem.h"
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

// On Windows the importer shows real message boxes and dialogs: the host's
// hook answers and records them for the session, as in pcb9-host's runs.
void THostFixture::SetUp() {
  ResetHost();
  pcb9host::hostsystem::BeginImportUi(Session());
}

void THostFixture::EnterTestMode() {
  Session().SetTestMode(true);
  pcb9host::hostsystem::EndImportUi();
  pcb9host::hostsystem::BeginImportUi(Session());
}

void THostFixture::TearDown() {
  pcb9host::hostsystem::EndImportUi();
  ResetHost();
}

}  // namespace pcb9test
