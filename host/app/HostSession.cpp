#include "HostSession.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "HostSystem.h"
#include "Terminal.h"
#include "client/ClientApi.h"
#include "platform/Platform.h"

namespace pcb9host {

namespace {

constexpr std::array<const char*, 5> kIconNames = {"none", "information", "warning", "error",
                                                   "question"};
constexpr int32_t kButtonsYesNo = 1;
constexpr int32_t kAnswerOk = 0, kAnswerYes = 1, kAnswerNo = 2;
constexpr std::string_view kTestModeKey = "\\Software\\Corvex\\TestMode";

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

// Registry paths compare without regard to case.
bool SameKey(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

THostSession& THostSession::Instance() {
  static THostSession session;
  return session;
}

void THostSession::Reset() {
  Streams_.clear();  // an unfinished stream's file is not put in its place
  NextStream_ = 1;
  StreamError_.clear();
  Protected_.clear();
  SharedProtected_.reset();
  AnswerYes_.reset();
  EscAfter_ = 0;
  TestMode_ = false;
  FormSource_ = {};
  TerminalChosen_ = false;
  Dialog_.reset();
  Listener_ = nullptr;
  QuestionListener_ = nullptr;
  Messages_.clear();
  Reports_.clear();
  Queue_.clear();
  Delivered_ = 0;
  morvik::SetProgressObserver([this](const morvik::TProgress& p) { OnProgress(p); });
}

void THostSession::OnProgress(const morvik::TProgress& progress) {
  if (EscAfter_ > 0 && progress.Updates == EscAfter_)
    hostsystem::QueueKey(
        *this, {morvik::EditorWindow(), pcb9::platform::kMsgKeyDown, pcb9::platform::kKeyEscape, 0});
  if (Listener_) Listener_(progress);
}

void* THostSession::DesktopWindow() {
  static int desktop;
  return &desktop;
}

std::string THostSession::WindowName(const void* window) {
  if (!window) return "none";
  if (window == DesktopWindow()) return "desktop";
  if (window == morvik::EditorWindow()) return "editor";
  return "other";
}

void THostSession::SetDialogTerminal(std::FILE* in, std::FILE* out) {
  FormSource_.In = in;
  FormSource_.Out = out;
  TerminalChosen_ = true;
}

std::FILE* THostSession::TerminalIn() const {
  if (TerminalChosen_) return FormSource_.In && FormSource_.Out ? FormSource_.In : nullptr;
  return hostsystem::IsTerminal(stdin) && hostsystem::IsTerminal(stderr) ? stdin : nullptr;
}

std::FILE* THostSession::TerminalOut() const {
  if (!TerminalIn()) return nullptr;
  return TerminalChosen_ ? FormSource_.Out : stderr;
}

void THostSession::BeginQuestion() {
  if (QuestionListener_) QuestionListener_();
  hostsystem::PauseKeys(true);
}

void THostSession::EndQuestion() { hostsystem::PauseKeys(false); }

int32_t THostSession::RunModalForm(const void* owner, std::span<TPlatformFormControl> controls,
                                   bool show, TPlatformFormCommand command, void* context) {
  if (show) {
    TFormAnswerSource source = FormSource_;
    source.In = TerminalIn();
    source.Out = TerminalOut();
    const bool asks = source.Uncheck.empty() && source.In;
    if (asks) BeginQuestion();
    AnswerForm(controls, source, command, context);
    if (asks) EndQuestion();
  }
  Dialog_ = RecordForm(controls, show);
  Dialog_->Owner = WindowName(owner);
  return show ? kFormOk : 0;
}

int32_t THostSession::AnswerMessageBox(const void* owner, const char* text, const char* caption,
                                       int32_t icon, int32_t buttons) {
  const bool yesNo = buttons == kButtonsYesNo;
  bool yes = AnswerYes_.value_or(false);
  if (yesNo && !AnswerYes_ && TerminalIn()) {
    BeginQuestion();
    yes = AskYesNo(TerminalIn(), TerminalOut(), Text(caption), Text(text));
    EndQuestion();
  }
  const int32_t answer = !yesNo ? kAnswerOk : yes ? kAnswerYes : kAnswerNo;
  const bool knownIcon = icon >= 0 && static_cast<size_t>(icon) < kIconNames.size();
  Messages_.push_back({Text(caption), Text(text), knownIcon ? kIconNames[icon] : "none",
                       yesNo ? "yesno" : "ok",
                       answer == kAnswerOk ? "ok" : answer == kAnswerYes ? "yes" : "no",
                       WindowName(owner)});
  return answer;
}

// The importer drains the queue in its abort check: the moment to look for
// the keys the user pressed meanwhile.
bool THostSession::TakeMessage(TQueuedMessage& message) {
  if (Queue_.empty() && hostsystem::TakeAbortKey())
    PostMessage({morvik::EditorWindow(), pcb9::platform::kMsgKeyDown, pcb9::platform::kKeyEscape, 0});
  if (Queue_.empty()) return false;
  message = Queue_.front();
  Queue_.pop_front();
  return true;
}

void THostSession::DeliverMessage(const TQueuedMessage&) { ++Delivered_; }

bool THostSession::MachineKeyExists(const char* path) const {
  return TestMode_ && path && SameKey(path, kTestModeKey);
}

void THostSession::ProtectFile(const std::string& path, const std::string& reason) {
  Protected_.push_back({hostsystem::FileKey(path), reason});
}

std::string THostSession::StreamRefusal(const char* fileName, uint16_t mode) const {
  if (!fileName || !*fileName) return "no file name was given";
  if (mode != kStreamCreateMode) return "the stream mode " + std::to_string(mode) + " is not known";
  const hostsystem::TFileKey key = hostsystem::FileKey(fileName);
  for (const TProtectedFile& file : Protected_)
    if (key.Same(file.Key)) return file.Reason;
  if (SharedProtected_)
    for (const TProtectedFile& file : *SharedProtected_)
      if (key.Same(file.Key)) return file.Reason;
  return {};
}

uintptr_t THostSession::CreateStream(const char* fileName, uint16_t mode) {
  StreamError_ = StreamRefusal(fileName, mode);
  if (!StreamError_.empty()) return 0;
  auto file = std::make_unique<hostsystem::TOutputFile>(fileName);
  if (!file->Open()) {
    StreamError_ = file->Reason();
    return 0;
  }
  const uintptr_t handle = NextStream_++;
  Streams_[handle] = {std::move(file), {fileName, {}}, false};
  return handle;
}

int32_t THostSession::WriteStream(uintptr_t stream, const void* data, int32_t count) {
  auto it = Streams_.find(stream);
  StreamError_ = it == Streams_.end()                 ? "the stream is not open"
                 : count < 0 || (!data && count > 0) ? "the data to write is not valid"
                                                     : "";
  if (!StreamError_.empty() || count == 0) return 0;
  TOpenStream& open = it->second;
  if (!open.File->Write(data, static_cast<size_t>(count))) {
    StreamError_ = open.File->Reason();
    open.Failed = true;
    return 0;
  }
  open.Record.Text.append(static_cast<const char*>(data), static_cast<size_t>(count));
  return count;
}

void THostSession::DestroyStream(uintptr_t stream) {
  auto it = Streams_.find(stream);
  if (it == Streams_.end()) {
    StreamError_ = "the stream is not open";
    return;
  }
  TOpenStream open = std::move(it->second);
  Streams_.erase(it);
  // A stream a write failed on leaves nothing under the file's name.
  if (open.Failed) {
    StreamError_ = open.File->Reason();
    return;
  }
  StreamError_ = open.File->Commit() ? "" : open.File->Reason();
  if (StreamError_.empty()) Reports_.push_back(std::move(open.Record));
}

}  // namespace pcb9host
