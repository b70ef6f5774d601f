#pragma once
// The reference host application's user, scripted or on the terminal, and
// its recorded output: the answer to every Yes/No question, an Esc key press
// after a chosen progress step, the test-mode key, the answer to a modal
// form, every message box shown, the form built and every file written
// through the host's streams. Unscripted questions are asked on the terminal
// when there is one. The exported services (Services.cpp) work on this
// state; pcb9-host sets it from its options, tests drive it directly.
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ModalForm.h"
#include "Module.h"
#include "OutputFile.h"
#include "platform/HostServices.h"

namespace pcb9host {

// The class name of the editor's main window, which owns the editor's
// dialogs.
constexpr std::string_view kEditorWindowClass = "Vorlund Main Window";

struct TMessageRecord {
  std::string Caption;
  std::string Text;
  std::string Icon;     // "none", "information", "warning", "error", "question"
  std::string Buttons;  // "ok", "yesno"
  std::string Answer;   // "ok", "yes", "no"
  std::string Owner;    // "desktop", "editor", "none", "other"
};

// A file written through the VFSAPI_ streams (only one written in full and
// put in its place is recorded); Text holds the bytes written.
struct TReportRecord {
  std::string Name;
  std::string Text;
};

struct TQueuedMessage {
  void* Window = nullptr;
  uint32_t Message = 0;
  uintptr_t WParam = 0;
  intptr_t LParam = 0;
};

using TProgressListener = std::function<void(const morvik::TProgress&)>;

class THostSession {
 public:
  static THostSession& Instance();

  // Forgets the recordings, empties the message queue, closes open streams
  // and restores the defaults: questions and forms answered on the terminal
  // when there is one (No and the form as prepared when there is none), no
  // Esc, no test-mode key.
  void Reset();

  // The desktop window object that PlatformAPI_DesktopWindow hands out.
  static void* DesktopWindow();
  // How a window is named in the recordings: "desktop", "editor" (the
  // editor window, PcbApi_GetCurrentEditorWindow's), "none" or "other".
  static std::string WindowName(const void* window);

  // The answer to every Yes/No question; nobody is asked.
  void SetAnswerYes(bool yes) { AnswerYes_ = yes; }
  // An Esc key-down is queued right after the given progress step; 0 never.
  void SetEscAfter(int64_t step) { EscAfter_ = step; }
  void SetTestMode(bool on) { TestMode_ = on; }
  bool TestMode() const { return TestMode_; }
  // A shown form gets these check boxes (by Name) unchecked and OK, and
  // nobody is asked; empty: ask on the terminal, if any.
  void SetDialogUncheck(std::vector<std::string> names) { FormSource_.Uncheck = std::move(names); }
  // The terminal that shown forms and unscripted Yes/No questions ask on;
  // by default standard input and standard error when both are terminals.
  // Null: no terminal, the form is taken as prepared and the answer is No.
  void SetDialogTerminal(std::FILE* in, std::FILE* out);
  // Whether a Yes/No question would be asked on the terminal: then the
  // user's Esc and Ctrl-C are worth watching for.
  bool AsksOnTerminal() const { return !AnswerYes_ && TerminalIn(); }
  // Files the streams must not write over, and why ("it is the board file
  // being imported"): any spelling of one, a hard link or a link to it
  // included. The files protected one by one are looked at first, then the
  // shared list (a whole run's files, made once). Kept until the next Reset.
  struct TProtectedFile {
    hostsystem::TFileKey Key;
    std::string Reason;
  };
  using TProtectedFiles = std::vector<TProtectedFile>;
  void ProtectFile(const std::string& path, const std::string& reason);
  void ProtectFiles(std::shared_ptr<const TProtectedFiles> files) { SharedProtected_ = std::move(files); }
  // Called before anything is asked on the terminal (pcb9-host ends its
  // progress line with it).
  void SetQuestionListener(std::function<void()> listener) { QuestionListener_ = std::move(listener); }
  // Told of every progress step (pcb9-host draws its progress bar with it).
  void SetProgressListener(TProgressListener listener) { Listener_ = std::move(listener); }

  const std::vector<TMessageRecord>& Messages() const { return Messages_; }
  const std::vector<TReportRecord>& Reports() const { return Reports_; }
  // The last form built (shown or not); empty when none was.
  const std::optional<TFormRecord>& Dialog() const { return Dialog_; }
  // Messages taken off the queue and delivered to their window.
  int64_t DeliveredMessages() const { return Delivered_; }
  // Why the last stream call failed; empty when it succeeded.
  const std::string& StreamError() const { return StreamError_; }

  // --- Used by the exported services ---
  // Records the box and answers it: 0 OK, 1 Yes, 2 No.
  int32_t AnswerMessageBox(const void* owner, const char* text, const char* caption, int32_t icon,
                           int32_t buttons);
  // Records the form, answers it when shown (ModalForm.h) and returns 1 for
  // OK, or 0 when it is not shown.
  int32_t RunModalForm(const void* owner, std::span<TPlatformFormControl> controls, bool show,
                       TPlatformFormCommand command, void* context);
  void PostMessage(const TQueuedMessage& message) { Queue_.push_back(message); }
  bool TakeMessage(TQueuedMessage& message);
  void DeliverMessage(const TQueuedMessage& message);
  bool MachineKeyExists(const char* path) const;
  // A stream's file is written beside its place and put there when the
  // stream is destroyed after every write succeeded (OutputFile.h); a link,
  // a folder or a special file in the place and a protected file are
  // refused. Each call sets StreamError.
  uintptr_t CreateStream(const char* fileName, uint16_t mode);
  int32_t WriteStream(uintptr_t stream, const void* data, int32_t count);
  void DestroyStream(uintptr_t stream);

 private:
  THostSession() { Reset(); }
  void OnProgress(const morvik::TProgress& progress);
  std::FILE* TerminalIn() const;
  std::FILE* TerminalOut() const;
  // Brackets a question on the terminal: the key watch pauses meanwhile.
  void BeginQuestion();
  void EndQuestion();

  struct TOpenStream {
    std::unique_ptr<hostsystem::TOutputFile> File;
    TReportRecord Record;
    bool Failed = false;
  };
  // Why the stream must not write `fileName`; empty when it may.
  std::string StreamRefusal(const char* fileName, uint16_t mode) const;

  std::optional<bool> AnswerYes_;  // empty: ask on the terminal
  int64_t EscAfter_ = 0;
  bool TestMode_ = false;
  TFormAnswerSource FormSource_;
  bool TerminalChosen_ = false;  // SetDialogTerminal was called
  TProgressListener Listener_;
  std::function<void()> QuestionListener_;
  std::optional<TFormRecord> Dialog_;
  std::vector<TMessageRecord> Messages_;
  std::vector<TReportRecord> Reports_;
  std::deque<TQueuedMessage> Queue_;
  int64_t Delivered_ = 0;
  std::map<uintptr_t, TOpenStream> Streams_;
  uintptr_t NextStream_ = 1;
  std::string StreamError_;
  TProtectedFiles Protected_;
  std::shared_ptr<const TProtectedFiles> SharedProtected_;
};

}  // namespace pcb9host
