// pcb9-asm: turns the token text form into a binary token file and back.
//   pcb9-asm asm IN.pcbt -o OUT.PCB
//   pcb9-asm dis IN.PCB [-o OUT.pcbt]
#include <cstdio>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "TokenAsm.h"

namespace {

constexpr const char* kUsage =
    "usage: pcb9-asm asm IN.pcbt -o OUT.PCB\n"
    "       pcb9-asm dis IN.PCB [-o OUT.pcbt]\n";

struct TCommand {
  std::string Mode;
  std::string Input;
  std::optional<std::string> Output;
};

std::optional<TCommand> ParseArgs(const std::vector<std::string>& args) {
  TCommand command;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o") {
      if (i + 1 >= args.size() || command.Output) return std::nullopt;
      command.Output = args[++i];
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return std::nullopt;
  command.Mode = positional[0];
  command.Input = positional[1];
  if (command.Mode == "asm" && command.Output) return command;
  if (command.Mode == "dis") return command;
  return std::nullopt;
}

// Writing the output over the input would destroy the input before (or
// while) it is read: any spelling of the same file, a hard link included.
bool OutputIsInput(const TCommand& command) {
  if (!command.Output) return false;
  const auto input = pcb9host::hostsystem::FileIdentity(command.Input);
  return input && input == pcb9host::hostsystem::FileIdentity(*command.Output);
}

int Run(const TCommand& command) {
  using namespace pcb9::tokenasm;
  if (command.Mode == "asm") {
    std::vector<uint8_t> bytes = AssembleText(ReadTextFile(command.Input));
    WriteBytesFile(*command.Output, bytes);
    return 0;
  }
  std::string text = DisassembleBytes(ReadBytesFile(command.Input));
  if (command.Output)
    WriteTextFile(*command.Output, text);
  else
    std::cout << text;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<TCommand> command = ParseArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (!command) {
    std::cerr << kUsage;
    return 2;
  }
  if (OutputIsInput(*command)) {
    std::cerr << "pcb9-asm: -o " << *command->Output << " is the input file " << command->Input
              << "; nothing was written\n";
    return 2;
  }
  try {
    return Run(*command);
  } catch (const std::exception& e) {
    std::cerr << "pcb9-asm: " << command->Input << ": " << e.what() << "\n";
    return 1;
  }
}
