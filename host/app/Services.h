#pragma once
// The services the reference host application exports (ClientAPI_,
// VFSAPI_, PlatformAPI_), declared with the signatures the plug-in binds.
#include <string>
#include <string_view>
#include <type_traits>

#include "client/ClientApi.h"
#include "platform/HostServices.h"

extern "C" {
#define PCB9_DECLARE_SERVICE(Type, Name) PCB9_EXPORT std::remove_pointer_t<Type> Name;
PCB9_CLIENT_SERVICES(PCB9_DECLARE_SERVICE)
PCB9_PLATFORM_SERVICES(PCB9_DECLARE_SERVICE)
#undef PCB9_DECLARE_SERVICE
}

namespace pcb9host {

// The file-name services' own logic: the name after the folder (split as
// the system splits paths: hostsystem::kPathSeparators), and the path with
// its extension replaced (a missing one is added).
std::string ExtractWholeFileName(std::string_view path);
std::string ForceExtension(std::string_view path, std::string_view extension);

}  // namespace pcb9host
