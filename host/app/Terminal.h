#pragma once
// What pcb9-host shows and asks on a terminal: the progress line of an
// import and the Yes/No questions of the importer's message boxes. The rule
// dialog's terminal form (ModalForm.cpp) reads its lines the same way.
#include <chrono>
#include <cstdio>
#include <string>

#include "Module.h"

namespace pcb9host {

// One line without its line end; false at the end of the input.
bool ReadLine(std::FILE* in, std::string& line);

// Keys typed on the terminal while the import ran that were no Esc: the
// start of the answers to the questions that follow, so ReadLine on stdin
// takes them before the terminal's own input (line editing was off then, so
// a backspace takes back the key before it).
void KeepTypedAhead(char key);
std::string Trimmed(const std::string& line);

// Asks the box's question until the answer is y(es) or n(o); the end of the
// input answers No, which goes on with what was started.
bool AskYesNo(std::FILE* in, std::FILE* out, const std::string& caption, const std::string& text);

// The progress line: the importer's caption, a bar, the percentage and the
// count, as "Loading a.PCB (Binary 2.8) [#####.....]  50% 12/24", cut to
// the terminal's width. It is redrawn when the caption or the percentage
// changes, and for the count alone at most ten times a second, so a board of
// a million objects does not write a million lines.
class TProgressLine {
 public:
  // Draws on `out`, `columns` wide; null draws nothing.
  TProgressLine(std::FILE* out, int columns) : Out_(out), Columns_(columns) {}

  void Step(const morvik::TProgress& progress);
  // A question is about to be asked: the line is ended so that the question
  // stands on its own line; the next step draws it again.
  void Break();
  // Draws the last state once more if it is not shown and ends the line.
  void Finish(const morvik::TProgress& progress);

  // The line as drawn for this state, without redraw control.
  static std::string Text(const morvik::TProgress& progress, int columns);

 private:
  void Draw(const std::string& text);

  std::FILE* Out_;
  int Columns_;
  bool Drawn_ = false;  // the line is on the screen, not yet ended
  std::string Shown_;   // the caption and percentage last drawn
  std::string Last_;
  std::chrono::steady_clock::time_point LastDraw_{};
};

}  // namespace pcb9host
