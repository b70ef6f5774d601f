#pragma once
// What the host reads of a board file's header string on its own, for the
// summary, the batch table and the dump: the header text and its version
// (the format level comes from the format's own tables, MatchHeader).
#include <optional>
#include <string>
#include <string_view>

namespace pcb9host {

// The file's first token as a string (up to 255 bytes, as the file holds
// it); empty when the file cannot be read or does not start with a string.
std::optional<std::string> ReadHeaderText(const std::string& file);

// The version part of a header text ("2.80" of "PCB FILE 9 VERSION 2.80"):
// what follows "VERSION" without its blanks, or the whole text when it names
// no version.
std::string HeaderVersionText(std::string_view header);

}  // namespace pcb9host
