#pragma once
// JSON of the document's objects, as the dump of the reference host shows
// them (names and value forms fixed by the dump contract).
#include <nlohmann/json.hpp>

#include "Document.h"

namespace morvik {

// One entry of the dump's "objects" list: handle, kind, deleted, members
// (containers) and every field under its proxy name.
nlohmann::json ObjectJson(const TObject& object);
// The board's own fields (BoardInfo, options, layers, ...), merged into its
// entry by ObjectJson.
nlohmann::json BoardJson(const TObject& board);
// Every object in creation order.
nlohmann::json ObjectsJson();

}  // namespace morvik
