#pragma once
// Runs the import driver in this process on a board assembled from token
// text, against the reference host's document, and reads back what landed.
#include <string>
#include <string_view>
#include <vector>

#include "Document.h"
#include "TempDir.h"

namespace pcb9test {

class TImportRunner {
 public:
  // Assembles the text into a file and runs the import on the host's board.
  bool Import(std::string_view tokenText, std::string_view fileName = "board.PCB");
  // Imports the text but stops it with a confirmed Esc right after its
  // `records`-th record, so that no post-load pass (rules, owner linking)
  // changes what the loaders stored. True when it stopped there.
  bool ImportUnlinked(std::string_view tokenText, int records);
  const std::string& FilePath() const { return Path_; }

 private:
  TTempDir Dir_;
  std::string Path_;
};

// Objects of a kind that are members of the board, in the order added.
std::vector<const morvik::TObject*> BoardMembersOfKind(uint8_t kind);
// Every object of a kind the document holds, in creation order.
std::vector<const morvik::TObject*> ObjectsOfKind(uint8_t kind);

}  // namespace pcb9test
