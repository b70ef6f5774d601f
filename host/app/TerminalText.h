#pragma once
// Texts as pcb9-host prints them. What a board file, the plug-in or the name
// of a file made by someone else says may hold control characters: a line
// break would start a row of its own in the batch table or the summary, an
// escape sequence would move the cursor, recolour the screen or retitle the
// terminal. Every such text goes through here before it is printed, and
// comes out as one line of printable characters.
#include <cstddef>
#include <string>
#include <string_view>

namespace pcb9host {

// UTF-8 text made fit for one line: every control character (C0, DEL and
// C1, U+0080..U+009F) and every byte that is no part of a valid UTF-8
// sequence becomes '?'; the rest stays exactly as it is.
std::string TerminalText(std::string_view utf8);
// An 8-bit text of a board file or of the plug-in, read as Latin-1.
std::string BoardTerminalText(std::string_view latin1);
// A file name as given, or a text the importer made around one (its
// messages, its progress caption): UserTextToUtf8, then TerminalText.
std::string UserTerminalText(std::string_view text);
// A message of the importer that breaks its lines on purpose (CR LF, CR or
// LF; a user text as UserTerminalText takes it): each line made fit, the
// lines after the first on lines of their own starting with `indent`.
std::string TerminalLines(std::string_view text, std::string_view indent);
// The columns UTF-8 text takes on a terminal: one per character.
size_t TerminalWidth(std::string_view utf8);
// The end of UTF-8 text that takes at most `columns`, cut between
// characters.
std::string_view LastColumns(std::string_view utf8, size_t columns);

}  // namespace pcb9host
