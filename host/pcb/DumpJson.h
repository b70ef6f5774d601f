#pragma once
// JSON of the document's objects, as the dump of the reference host shows
// them (names and value forms fixed by the dump contract). The dump writes
// them one by one to a stream; nothing holds the whole list.
#include <nlohmann/json.hpp>

#include "Document.h"
#include "JsonStream.h"

namespace morvik {

// One entry of the dump's "objects" list: handle, kind, deleted, members
// (containers) and every field under its proxy name.
void WriteObjectJson(TJsonStream& out, const TObject& object);
// The "objects" list: every object in creation order.
void WriteObjectsJson(TJsonStream& out);
// One entry as a value (tests and small callers).
nlohmann::json ObjectJson(const TObject& object);
// The board's own fields (BoardInfo, options, layers, ...), merged into its
// entry.
nlohmann::json BoardJson(const TObject& board);

}  // namespace morvik
