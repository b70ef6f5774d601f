#include "Checks.h"

#include <string_view>
#include <vector>


namespace morvik {

namespace {

std::vector<THostError>& Errors() {
  static std::vector<THostError> errors;
  return errors;
}

// "a Track", "an Arc".
std::string WithArticle(std::string_view name) {
  const bool vowel = !name.empty() && std::string_view("AEIOU").find(name.front()) != std::string_view::npos;
  return (vowel ? "an " : "a ") + std::string(name);
}

}  // namespace

const std::vector<THostError>& HostErrors() { return Errors(); }

void ClearHostErrors() { Errors().clear(); }

int32_t Refuse(const char* call, uint32_t handle, std::string why) {
  Errors().push_back({call ? call : "", handle, std::move(why)});
  return kRefused;
}

std::string KindSetName(TKindSet kinds) {
  if (kinds == kAnyObject) return "an object";
  if (kinds == kContainerKinds) return "a container";
  std::string names;
  for (uint8_t kind = 0; kind < 32; ++kind)
    if (kinds & KindBit(kind)) names += (names.empty() ? "" : " or ") + WithArticle(KindName(kind));
  return names;
}

void RefuseFind(const char* call, uint32_t handle, TKindSet kinds, const TObject* object) {
  if (!object) {
    Refuse(call, handle, handle == 0 ? "no handle" : "unknown handle");
    return;
  }
  const uint8_t kind = object->Kind & kKindBits;
  Refuse(call, handle, WithArticle(KindName(kind)) + ", not " + KindSetName(kinds));
}

}  // namespace morvik
