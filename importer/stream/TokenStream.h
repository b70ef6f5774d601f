#pragma once
// The block-buffered reader of the file's 16-bit token words. Its state is
// module-wide, for the one import run: the driver opens the file, the header
// reader and every loader consume tokens through these reads, and the two
// sticky flags (`Aborted`, `EndReached`) tell every loop when to stop.
//
// Every read is bounded by the block and by the words the file really
// delivered: a token that does not fit in what is left of its block, or that
// lies beyond the end of the file's data, is reported as corruption and no
// value is taken from words the file does not hold (the output is 0, or left
// unchanged for `ReadWord` and `ReadString`). A file that ends without the
// end tag is therefore reported, not read again and again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FormatTables.h"  // AttributeFromCode and the attribute widths
#include "run/TokenSource.h"
#include "hostapi/ShortString.h"

namespace pcb9 {

// Classification of the word at the current position; 4..56 are attribute
// numbers.
using TTokenKind = uint8_t;
constexpr TTokenKind tkUnknownAttribute = 0, tkData = 1, tkString = 2, tkEnd = 3;


// High bytes of the tag words.
constexpr uint8_t kTagFiller = 0xA0, kTagString = 0xA1, kTagEnd = 0xA2, kTagAttribute = 0xA3;

// The reads work on the current run (entry/ImportRun.h): its source, its
// sticky flags `Aborted` and `EndReached` and its `FormatLevel`.

// Opens the file read-only for the run; false when it cannot be opened.
// The first block is read by the caller's `ReadNextBlock`.
bool OpenTokenFile(const std::string& path);
// Reads the tokens from a copy of the bytes instead of a file (tests and
// tools); then `ReadNextBlock` as with a file.
bool OpenTokenBuffer(const uint8_t* data, size_t size);
void CloseTokenFile();

void ReadNextBlock();
TTokenKind PeekToken();
void ReadWord(int16_t& value);
void ReadLong(int32_t& value);
void ReadCoord(int32_t& value);
void ReadString(TShortString& value);
void ReadReal(double& value);
void ReadAttrValue(int16_t& value);
void ReadAttrCoord(int32_t& value);
void ReportCorruption();

// Whether a read of this run wanted words beyond the end of the file (a file
// that ends without its end tag). Sticky until the next file is opened.
bool FileEndedEarly();

// Whether a read of this run failed (a wrong token, or words beyond the
// file's data), reported or not: the stream no longer says what the record
// holds. A user's abort is no failure: the record under way is read to its
// end. Sticky until the next file is opened.
bool StreamFailed();

// Word offset of the current position from the start of the file.
int64_t TokenStreamOffset();

// The locale-free conversion of a real's text: optional leading spaces, an
// optional sign, digits with an optional '.' and fraction, an optional
// exponent. False when the text does not convert.
bool TextToReal(const char* text, size_t length, double& value);

// Token classifications (each step of `PeekToken`, filler runs included)
// and attribute reads since the last file or buffer was opened; kept after
// the run ends. Tests bound an import's work by the file's size with it.
int64_t TokenReadsSinceOpen();

// Test support: whether the one-time data integrity warning was shown, and
// forgetting that it was.
bool RecoveryWarningShown();
void ResetRecoveryWarning();

}  // namespace pcb9
