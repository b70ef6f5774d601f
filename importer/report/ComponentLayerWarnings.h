#pragma once
// Components whose board side had to be worked out, by the case that
// decided it, and the plain-text report written next to the board file when
// some side was assumed or could not be determined.
#include <string>
#include <vector>

namespace pcb9 {

class TPcbComponent;

class TComponentLayerWarnings {
 public:
  // Lines in the order the components were loaded.
  std::vector<std::string> ValidTop;
  std::vector<std::string> ValidBottom;
  std::vector<std::string> AssumedTop;
  std::vector<std::string> AssumedBottom;
  std::vector<std::string> Undetermined;
  // Empty until the report is built.
  std::string ReportFileName;
  std::vector<std::string> ReportLines;
  // Why the report could not be written; empty when it was.
  std::string WriteError;

  TComponentLayerWarnings() = default;
  virtual ~TComponentLayerWarnings() = default;
  TComponentLayerWarnings(const TComponentLayerWarnings&) = delete;
  TComponentLayerWarnings& operator=(const TComponentLayerWarnings&) = delete;

  void AddValidTop(TPcbComponent* component);
  void AddValidBottom(TPcbComponent* component);
  void AddAssumedTop(TPcbComponent* component);
  void AddAssumedBottom(TPcbComponent* component);
  void AddUndetermined(TPcbComponent* component);

  // Whether some side was assumed or not determined.
  bool HasWarnings() const;
  // Builds the report for the current run's board and format level and
  // writes it through the host's file streams, replacing an earlier one.
  // False when the host could not create the file, took fewer bytes than
  // it was given or could not put the file in place: WriteError then says
  // why, and the report must not be announced.
  bool WriteReport();
  // Tells the user where the report is; nothing in test mode.
  void ShowWarningMessage() const;
  // "Cannot write the component report NAME: REASON", an error box; in test
  // mode the line goes to standard output and the run goes on.
  void ShowWriteError() const;

  // "U1 (DIP14, 7400)": designator, pattern and comment as they stand in
  // the proxy and the host; empty for no component. At most 255 characters,
  // control characters written as '?'.
  static std::string ComponentLine(TPcbComponent* component);
};

// The post-load step: when the run's collector has warnings, writes the
// report and then announces it. A report the host could not write in full
// is not announced: the user is told why it could not be written, and the
// run ends as failed (`Aborted`), so that the host does not take the
// import for a complete one.
void ReportComponentLayerWarnings();

}  // namespace pcb9
