#include "ImportRunner.h"

#include "HostSession.h"
#include "Module.h"
#include "TokenAsm.h"
#include "entry/Driver.h"

namespace pcb9test {

bool TImportRunner::Import(std::string_view tokenText, std::string_view fileName) {
  std::vector<uint8_t> bytes = pcb9::tokenasm::AssembleText(tokenText);
  Path_ = Dir_.Write(fileName, std::string_view(reinterpret_cast<const char*>(bytes.data()),
                                                bytes.size()));
  // Named after its file, as pcb9-host names the board it imports into.
  morvik::SetBoardFileName(Path_);
  auto board = static_cast<int32_t>(morvik::TDocument::Instance().BoardHandle());
  return pcb9::RunImport(Path_, board);
}

bool TImportRunner::ImportUnlinked(std::string_view tokenText, int records) {
  pcb9host::THostSession& session = pcb9host::THostSession::Instance();
  session.SetEscAfter(records);
  session.SetAnswerYes(true);
  const bool result = Import(tokenText);
  session.SetEscAfter(0);
  session.SetAnswerYes(false);
  return !result && morvik::Progress().Updates == records;
}

std::vector<const morvik::TObject*> BoardMembersOfKind(uint8_t kind) {
  morvik::TDocument& doc = morvik::TDocument::Instance();
  std::vector<const morvik::TObject*> result;
  for (uint32_t handle : doc.Find(doc.BoardHandle())->Lists.Members()) {
    const morvik::TObject* object = doc.Find(handle);
    if (object && object->Kind == kind) result.push_back(object);
  }
  return result;
}

std::vector<const morvik::TObject*> ObjectsOfKind(uint8_t kind) {
  std::vector<const morvik::TObject*> result;
  for (const morvik::TObject& object : morvik::TDocument::Instance().Objects())
    if (object.Kind == kind) result.push_back(&object);
  return result;
}

}  // namespace pcb9test
