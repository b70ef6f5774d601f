#pragma once
// Token file assembler and disassembler: a readable, line-oriented text form
// of the 16-bit token stream, turned into a binary file with correct block
// filling, and back. README.md beside this file describes the text form.
//
// Usage in tests:
//   std::vector<uint8_t> bytes = pcb9::tokenasm::AssembleText(R"(
//     "PCB FILE 9 VERSION 2.80"
//     long 0 0 0 0 0 0 0 0 0 0
//     "TH"
//     attr 6 1
//     attr 7 10mil
//     coord 0 100mil 0
//     word 0 0
//     end
//   )");
//   pcb9::tokenasm::WriteBytesFile(path, bytes);
//   std::string text = pcb9::tokenasm::DisassembleBytes(bytes);
//
// AssembleText throws std::runtime_error("line N: ...") on a bad line.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcb9::tokenasm {

constexpr uint16_t kFillerWord = 0xA000;
constexpr uint16_t kEndWord = 0xA200;

// The binary file of a text; every block is filled to 4096 bytes unless the
// text asks for a truncated file.
std::vector<uint8_t> AssembleText(std::string_view text);
// Text that assembles to the same bytes (words the disassembler cannot
// classify come out as raw words).
std::string DisassembleBytes(const std::vector<uint8_t>& bytes);

// Whole-file helpers; throw std::runtime_error naming the path on failure.
std::vector<uint8_t> ReadBytesFile(const std::string& path);
void WriteBytesFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::string ReadTextFile(const std::string& path);
void WriteTextFile(const std::string& path, std::string_view text);

}  // namespace pcb9::tokenasm
