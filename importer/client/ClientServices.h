#pragma once
// The host application's services as the importer uses them: thin wrappers
// over the ClientAPI_ and VFSAPI_ functions (bound by name from the main
// program; an unbound one answers an empty text, handle 0 or -1), and the
// importer's own test-mode, message and date services on top of the
// platform layer.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ClientApi.h"
#include "platform/Platform.h"

namespace pcb9 {

using TVfsStream = uintptr_t;

std::string ClientAPI_ExtractWholeFileNameFromPath(std::string_view path);
std::string ClientAPI_ForceFileNameExtension(std::string_view path, std::string_view extension);
TVfsStream VFSAPI_VFS_StreamCreate(std::string_view fileName, uint16_t mode);
int32_t VFSAPI_VFS_StreamWrite(TVfsStream stream, const void* data, int32_t count);
void VFSAPI_VFS_StreamDestroy(TVfsStream stream);
// Why the last stream call failed, empty when it succeeded; nothing when
// the host has no such service.
std::optional<std::string> VFSAPI_VFS_StreamLastError();

// Binds the services from that module (null: none); the wrappers bind from
// the main program on first use. Tests use it to reach the unbound defaults.
void BindClientApi(platform::TModule module);

// The registry key whose existence puts the host in test mode.
extern const char* const kTestModeKey;
// Asked anew on every call.
bool IsTestMode();

// Modal, screen-centred box with one OK button; an empty caption becomes
// "Information" or "Error". In test mode nothing is shown: the box's caption
// and text go to standard output and the process ends with exit code 1, so
// callers test IsTestMode first.
void ShowInformation(std::string_view text, std::string_view caption);
void ShowError(std::string_view text, std::string_view caption);
// An error the run goes on from: ShowError's box; in test mode its line
// goes to standard output as ShowError writes it, and the process goes on.
void ShowErrorAndGoOn(std::string_view text, std::string_view caption);

// Current date (short date format) and time (long time format).
std::string TodayText();
std::string NowText();

}  // namespace pcb9
