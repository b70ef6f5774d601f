#pragma once
// Recognition of the importer's files by the first line of their text, and
// the importer's description for the host's list of formats.
#include <cstdint>
#include <string>
#include <string_view>

namespace pcb9 {

constexpr size_t kFirstLineLimit = 255;

// The first line of a regular file as a text reader sees it: it ends before
// the first line feed, every carriage return is dropped, a byte 0x1A ends
// the text, and at most 255 characters are kept. Empty when the name is not
// a regular file or cannot be read.
std::string ReadFirstLine(const std::string& fileName);
// Whether the upper-cased first line holds "PCB FILE 9"; never reports
// anything.
bool IsRecognisedFile(const std::string& fileName);

// "Orvane RER 2.8 Binary File (*.PCB)", in static storage.
const char* ImporterDescription();

// A length-prefixed argument as the host passed it; null is the empty
// string.
std::string CopyShortStringArgument(const uint8_t* value);

// One import call: recognises the file again and runs the
// import; false when the file is not recognised or the run was aborted.
bool ImportRecognisedFile(const std::string& fileName, int32_t boardHandle);

}  // namespace pcb9
