#include "ui/pShredder.h"

#include <algorithm>
#include <unordered_set>

#include "base/WideText.h"
#include "engine/EntryPaths.h"
#include "engine/run/ListRows.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Menu.h"
#include "framework/FolderDialog.h"
#include "framework/OpenDialog.h"
#include "framework/ProgressBar.h"
#include "settings/ExplorerMenu.h"
#include "settings/Settings.h"
#include "ui/DDDest.h"
#include "ui/HListBox.h"
#include "ui/ShredderIds.h"
#include "ui/about.h"

TfrmShredder* frmShredder = nullptr;

namespace {

using F = TfrmShredder;

constexpr TColor kSilver = RGBColor(192, 192, 192);
constexpr std::string_view kStoppingText =
    "Stopping: the step at hand is finished, and whatever the run made is removed ...";
constexpr TColor kGrey = RGBColor(128, 128, 128);
// The rows a message at the end of a run names; the list holds the rest.
constexpr int kReasonsTold = 5;

constexpr TMenuItemSpec kMenu[] = {
    {.Name = "File1", .Caption = "&File", .Level = 0},
    {.Name = "SelectFolders1", .Caption = "Select F&older(s)...", .Level = 1,
     .OnClick = Handler<&F::SelectFolders1Click>},
    {.Name = "ExplorerMenu1", .Caption = "Add to &Explorer's menu", .Level = 1,
     .OnClick = Handler<&F::ExplorerMenu1Click>},
    {.Name = "Exit1", .Caption = "E&xit", .Level = 1, .OnClick = Handler<&F::Exit1Click>},
    {.Name = "About1", .Caption = "&About", .Level = 0, .OnClick = Handler<&F::About1Click>},
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&F::ListBox1>, .Name = "ListBox1", .Bounds = {16, 32, 433, 241}, .TabOrder = 6,
     .Cursor = TCursor::crHandPoint, .MultiSelect = true, .ExtendedSelect = true, .Sorted = true},
    {.Field = Field<&F::Edit1>, .Name = "Edit1", .Bounds = {16, 280, 433, 21}, .TabOrder = 4, .ReadOnly = true},
    {.Field = Field<&F::Label2>, .Name = "Label2", .Bounds = {461, 112, 85, 129},
     .Font = {.Name = "OCR A Extended", .Height = 11, .Charset = ANSI_CHARSET, .Color = clRed},
     .Color = clBlack, .WordWrap = true, .AutoSize = false, .Constraints = {85, 129, 85, 129}},
    {.Field = Field<&F::btnBrowse>, .Name = "btnBrowse", .Bounds = {456, 48, 89, 25},
     .Caption = "&Select File(s)", .Anchors = akTop | akRight, .TabOrder = 0, .OnClick = Handler<&F::btnBrowseClick>},
    {.Field = Field<&F::Button1>, .Name = "Button1", .Bounds = {456, 80, 89, 25}, .Caption = "&Don't Shred",
     .Anchors = akTop | akRight, .TabOrder = 5, .OnClick = Handler<&F::Button1Click>},
    {.Field = Field<&F::btnWipe>, .Name = "btnWipe", .Bounds = {456, 248, 89, 25}, .Caption = "Shred &NOW!",
     .Anchors = akTop | akRight, .TabOrder = 1, .Enabled = false, .OnClick = Handler<&F::btnWipeClick>},
    {.Field = Field<&F::btnClose>, .Name = "btnClose", .Bounds = {456, 280, 89, 25}, .Caption = "&Close",
     .Anchors = akTop | akRight, .TabOrder = 2, .OnClick = Handler<&F::btnCloseClick>},
    {.Field = Field<&F::pbWiping>, .Name = "pbWiping", .Bounds = {0, 314, 548, 16}, .Align = TAlign::alBottom,
     .TabOrder = 3, .Min = 0, .Max = 100},
    {.Field = Field<&F::Label1>, .Name = "Label1", .Bounds = {16, 8, 511, 16},
     .Caption = "Drag and drop files from Windows Explorer or click the Select Files button.",
     .Font = {.Name = "MS Sans Serif", .Height = 13, .Bold = true, .Color = kSilver}, .Transparent = true,
     .WordWrap = true},
    {.Field = Field<&F::odWipe>, .Name = "odWipe", .Caption = "Select the File(s) to Shred"},
    {.Field = Field<&F::fdWipe>, .Name = "fdWipe", .Caption = "Select the Folder(s) to Shred Whole"},
    {.Field = Field<&F::DnDForm1>, .Name = "DnDForm1",
     .Setup = DnDProperties<true, Handler<&F::DnDForm1DnDItem>, Handler<&F::DnDForm1DnDStart>,
                            Handler<&F::DnDForm1DnDFinish>>},
    {.Field = Field<&F::MainMenu1>, .Name = "MainMenu1", .MenuItems = kMenu},
};

// Tests that drive the running program from another process find its controls by
// these ids; the table's order gives them.
static_assert(ControlId(kControls, "ListBox1") == kIdListBox1);
static_assert(ControlId(kControls, "Edit1") == kIdEdit1);
static_assert(ControlId(kControls, "Label2") == kIdLabel2);
static_assert(ControlId(kControls, "btnBrowse") == kIdBtnBrowse);
static_assert(ControlId(kControls, "Button1") == kIdButton1);
static_assert(ControlId(kControls, "btnWipe") == kIdBtnWipe);
static_assert(ControlId(kControls, "btnClose") == kIdBtnClose);
static_assert(ControlId(kControls, "pbWiping") == kIdPbWiping);
static_assert(ControlId(kControls, "Label1") == kIdLabel1);

constexpr TFormSpec kLayout = {
    .Caption = "Quorvane",
    .Left = 125,
    .Top = 116,
    .ClientWidth = 548,
    .ClientHeight = 330,
    .BorderStyle = TBorderStyle::bsSizeable,
    .Color = clBlack,
    .Font = {.Name = "MS Sans Serif", .Height = 11, .Color = clWindowText},
    .OnShow = Handler<&F::FormShow>,
    .Controls = kControls,
};

}  // namespace

TfrmShredder::TfrmShredder(TComponent* owner) : TForm(owner) {
  LoadLayout(kLayout);
  UseAvailableReadoutFont();
  AllowDropsWhenElevated();
  FScreen = std::make_unique<TControlsDisplay>(*Edit1, *Label2, *pbWiping);
  FSignals = MakeWindowsRunSignals(Handle());
  ShowExplorerMenuState();
}

void TfrmShredder::ShowExplorerMenuState() {
  MainMenu1->SetCaption("ExplorerMenu1",
                        ExplorerMenuAdded() ? "Remove from &Explorer's menu" : "Add to &Explorer's menu");
}

// The verbs start this program by its full path, wherever it was started from.
void TfrmShredder::ExplorerMenu1Click(TComponent*) {
  if (ExplorerMenuAdded()) {
    RemoveExplorerMenu();
  } else {
    std::wstring program(32768, L'\0');
    program.resize(::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
    AddExplorerMenu(program);
  }
  ShowExplorerMenuState();
}

// A run still going is stopped and waited for while the controls it reports to live.
TfrmShredder::~TfrmShredder() {
  if (!FRun) return;
  FRun.reset();
  FSignals->Ended(false);
}

void TfrmShredder::UseAvailableReadoutFont() {
  if (!FReadoutFont.Embedded()) return;
  Label2->SetFont({.Name = FReadoutFont.Face(), .Height = 11, .Charset = ANSI_CHARSET, .Color = clRed});
}

// Looked up at run time: older systems do not have the call.
void TfrmShredder::AllowDropsWhenElevated() {
  const auto filter = reinterpret_cast<TMessageFilter>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx")));
  if (filter != nullptr) AllowDropMessages(Handle(), filter);
}

void TfrmShredder::UpdateWipeButton() { btnWipe->SetEnabled(ListBox1->Count() > 0); }

void TfrmShredder::FormShow(TComponent*) { pbWiping->SetBackgroundColor(kGrey); }

void TfrmShredder::ListChosen(const std::vector<std::string>& names) {
  const TRedrawHold hold(ListBox1->Handle());
  // Exact, byte-for-byte matches only; a name chosen twice is listed once.
  std::unordered_set<std::string> listed;
  for (int index = 0; index < ListBox1->Count(); ++index) listed.insert(ListBox1->Text(index));
  for (const std::string& name : names)
    if (listed.insert(name).second) ListBox1->AddString(name);
}

void TfrmShredder::btnBrowseClick(TComponent*) {
  if (Running()) return;  // disabled then; a caller of the handler itself is refused too
  odWipe->SetInitialDir(ReadSetting("SearchPath", ""));
  if (odWipe->Execute()) ListChosen(odWipe->Files());
  UpdateWipeButton();
  if (!odWipe->Files().empty()) WriteSetting("SearchPath", std::string(FolderOf(odWipe->Files().front())));
}

// The file dialog opens a folder rather than choose it: folders have a picker of
// their own, which starts where the file dialog does and remembers the same place.
void TfrmShredder::SelectFolders1Click(TComponent*) {
  if (Running()) return;
  fdWipe->SetInitialDir(ReadSetting("SearchPath", ""));
  if (!fdWipe->Execute()) return;
  ListChosen(fdWipe->Folders());
  UpdateWipeButton();
  if (!fdWipe->Folders().empty()) WriteSetting("SearchPath", std::string(FolderOf(fdWipe->Folders().front())));
}

void TfrmShredder::Button1Click(TComponent*) {
  if (Running()) return;
  const TRedrawHold hold(ListBox1->Handle());
  if (ListBox1->SelCount() == 0)
    for (int index = 0; index < ListBox1->Count(); ++index) ListBox1->SetSelected(index, true);
  int index = 0;
  while (ListBox1->SelCount() > 0) {
    if (ListBox1->Selected(index))
      ListBox1->Delete(index);
    else
      ++index;
  }
  UpdateWipeButton();
}

// A drop's rows are drawn once, when the last of its names is listed.
void TfrmShredder::DnDForm1DnDStart(TComponent*, int, int, int) {
  if (!Running()) FDrop.emplace(ListBox1->Handle());
}

void TfrmShredder::DnDForm1DnDItem(TComponent*, const std::string& Item) {
  // No row moves under a run: the name is listed when the run is over.
  if (Running()) {
    FDroppedDuringRun.push_back(Item);
    return;
  }
  // A drop's names are listed at once, when the last has come.
  if (FDrop) {
    FDropNames.push_back(Item);
    return;
  }
  ListBox1->AddString(Item);
  if (!btnWipe->Enabled()) btnWipe->SetEnabled(true);
}

void TfrmShredder::DnDForm1DnDFinish(TComponent*) {
  const std::vector<std::string> names = std::exchange(FDropNames, {});
  // The window draws again however the listing ends.
  struct TEndDrop {
    std::optional<TRedrawHold>& Drop;
    ~TEndDrop() { Drop.reset(); }
  } endDrop{FDrop};
  if (names.empty()) return;
  // Many names take a moment to list: the pointer says the window is busy.
  struct TBusyPointer {
    HCURSOR Previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    ~TBusyPointer() { ::SetCursor(Previous); }
  } busy;
  ListBox1->AddStrings(names);
  btnWipe->SetEnabled(true);
}

void TfrmShredder::btnWipeClick(TComponent*) {
  if (Running())
    StopRun();
  else
    StartRun();
}

void TfrmShredder::StartRun() {
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(ListBox1->Count()));
  for (int index = 0; index < ListBox1->Count(); ++index) entries.push_back(ListBox1->Text(index));
  FRunEntries = static_cast<int>(entries.size());
  FRunRows = 0;
  FSignals->Started();
  FRun = std::make_unique<TShredRun>(FFileSystem, std::move(entries), Handle(), kRunNews, kRunQuestion);
  FRunFrameAt = {};
  FRunFrameWait = kRunFrame;
  FRunShredded = 0;
  btnWipe->SetCaption("&Stop");
  // Focus on a button that is about to be disabled would leave the keys nowhere.
  const HWND focus = ::GetFocus();
  if (focus == btnBrowse->WindowHandle() || focus == Button1->WindowHandle()) ::SetFocus(btnWipe->Handle());
  EnableListChanges(false);
}

void TfrmShredder::EnableListChanges(bool enabled) {
  btnBrowse->SetEnabled(enabled);
  Button1->SetEnabled(enabled);
  if (const TMenuItem* item = MainMenu1->FindItem("SelectFolders1"))
    ::EnableMenuItem(MainMenu1->Handle(), item->Command(), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// Said at once: the run ends within a block, but what it made (a fill, the small
// files of the record fill) goes first, which can take a while.
void TfrmShredder::StopRun() noexcept {
  if (!FRun) return;
  FRun->Stop();
  try {
    FScreen->SetStatusText(kStoppingText);
  } catch (...) {  // the stop is what matters; the text is only news of it
  }
}

// The run has news. However often it reports, frames keep their pace: the window
// stays free for the user, and the machine for the run.
void TfrmShredder::RunNews(bool ended) {
  using namespace std::chrono;
  const auto due = FRunFrameAt + FRunFrameWait - steady_clock::now();
  if (ended || due <= due.zero())
    TakeRunFrame();
  else
    ::SetTimer(Handle(), kRunFrameTimer, static_cast<UINT>(ceil<milliseconds>(due).count()), nullptr);
}

void TfrmShredder::TakeRunFrame() {
  ::KillTimer(Handle(), kRunFrameTimer);
  if (!FRun) return;
  const auto start = std::chrono::steady_clock::now();
  const TRunReport::TFrame frame = FRun->Take();
  // The run's end is shown whatever went wrong in drawing what came before it.
  std::exception_ptr drawError;
  try {
    DrawRunFrame(frame);
    // Painted now rather than when the queue runs dry, so that what the frame cost
    // includes its painting, which is most of it.
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  } catch (...) {
    drawError = std::current_exception();
  }
  FRunFrameAt = std::chrono::steady_clock::now();
  FRunFrameWait = std::clamp<std::chrono::steady_clock::duration>(kRunFrameCost * (FRunFrameAt - start), kRunFrame,
                                                                  kRunFrameLongest);
  if (frame.Ended) FinishRun(drawError);
  if (drawError) std::rethrow_exception(drawError);
}

void TfrmShredder::DrawRunFrame(const TRunReport::TFrame& frame) {
  if (frame.StatusColor) FScreen->SetStatusFontColor(*frame.StatusColor);
  if (frame.Status) FScreen->SetStatusText(*frame.Status);
  if (frame.Readout) FScreen->SetReadoutText(*frame.Readout);
  if (frame.ProgressMin) FScreen->SetProgressMin(*frame.ProgressMin);
  if (frame.ProgressMax) FScreen->SetProgressMax(*frame.ProgressMax);
  if (frame.ProgressPosition) FScreen->SetProgressPosition(*frame.ProgressPosition);
  if (frame.ListColor) ListBox1->SetFontColor(*frame.ListColor);
  if (frame.Marks.empty()) return;
  FRunRows += static_cast<int>(frame.Marks.size());
  FSignals->Progress(static_cast<std::uint64_t>(std::min(FRunRows, FRunEntries)),
                     static_cast<std::uint64_t>(FRunEntries));
  const TRedrawHold hold(ListBox1->Handle());
  for (const auto& [index, text] : frame.Marks) {
    ListBox1->Replace(index, text);
    if (IsShreddedRow(text)) ++FRunShredded;
  }
}

// The window is put back as after every run before anything else is shown: the
// names dropped meanwhile are listed, and then an error that ended the run is shown
// by the application's handler, on this thread. A window closing shows none: the
// user asked for it to go.
void TfrmShredder::FinishRun(std::exception_ptr& drawError) {
  FRun->Wait();
  std::exception_ptr error = FRun->Error();
  // A stop is told on the status line and in the rows already; a "No" left every
  // row as it was, rows an earlier run left included.
  const bool quiet = FRun->StopRequested() || FRun->Declined();
  FRun.reset();
  // Told first, however the run ended: an error, a close and a stop included.
  bool left = false;
  for (int index = 0; index < ListBox1->Count() && !left; ++index) left = IsLeftRow(ListBox1->Text(index));
  FSignals->Ended(left);
  btnWipe->SetCaption("Shred &NOW!");
  btnWipe->SetEnabled(true);
  EnableListChanges(true);
  ListDroppedDuringRun();
  if (FCloseAfterRun) {
    drawError = nullptr;
    return Close();
  }
  if (error) std::rethrow_exception(error);
  if (!quiet) TellWhatWasLeft();
}

// Every row left by the run carries its reason; a run that left nothing ends quietly.
void TfrmShredder::TellWhatWasLeft() {
  int left = 0;
  std::string reasons;
  for (int index = 0; index < ListBox1->Count(); ++index) {
    const std::string row = ListBox1->Text(index);
    if (!IsLeftRow(row)) continue;
    if (++left <= kReasonsTold)
      reasons += "\n" + std::string(EntryOfRow(row)) + ": " + std::string(ReasonOfRow(row));
  }
  if (left == 0) return;
  std::string text = std::to_string(FRunShredded) + " of " + std::to_string(FRunShredded + left) +
                     " entries shredded; " + std::to_string(left) + (left == 1 ? " was" : " were") +
                     " not:\n" + reasons;
  if (left > kReasonsTold) text += "\n... and " + std::to_string(left - kReasonsTold) + " more";
  text += "\n\nEach of them says why in the list. \"Shred NOW!\" tries them again.";
  ::MessageBoxW(Handle(), WideOf(text).c_str(), L"Quorvane", MB_ICONWARNING | MB_OK);
}

void TfrmShredder::AskAboutFolders() {
  if (!FRun || FAsking) return;
  // A stop that came first is the answer.
  if (FRun->StopRequested()) return FRun->Answer(false);
  FAsking = true;
  int answer = IDNO;
  try {
    answer = ::MessageBoxW(Handle(), WideOf(FolderQuestionText(FRun->Folders())).c_str(), L"Quorvane",
                           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
  } catch (...) {
    FAsking = false;
    if (FRun) FRun->Answer(false);
    throw;
  }
  FAsking = false;
  // Closing the window or ending the session meanwhile stopped the run.
  if (FRun) FRun->Answer(answer == IDYES);
  if (const auto news = std::exchange(FNewsWhileAsking, std::nullopt)) RunNews(*news);
}

void TfrmShredder::ListDroppedDuringRun() {
  if (FDroppedDuringRun.empty()) return;
  const std::vector<std::string> names = std::exchange(FDroppedDuringRun, {});
  const TRedrawHold hold(ListBox1->Handle());
  ListBox1->AddStrings(names);
  btnWipe->SetEnabled(true);
}

void TfrmShredder::CloseWhenStopped() {
  if (!Running()) return Close();
  FCloseAfterRun = true;
  // Names dropped or handed over from now on would be lost with the window: the
  // window takes none, and another start opens a window of its own for them.
  DnDForm1->SetActive(false);
  StopRun();
}

// After this returns the system may end the process at any moment: the run is
// stopped and waited for here, so that it leaves no fill behind.
void TfrmShredder::EndSession() {
  if (!FRun) return;
  FRun->Stop();
  FRun->Wait();
  FRun.reset();
  FSignals->Ended(false);
}

LRESULT TfrmShredder::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kRunNews:
      if (FAsking) {
        FNewsWhileAsking = FNewsWhileAsking.value_or(false) || wParam != 0;
        return 0;
      }
      RunNews(wParam != 0);
      return 0;
    case kRunQuestion:
      AskAboutFolders();
      return 0;
    case WM_TIMER:
      if (wParam != kRunFrameTimer) break;
      if (FAsking) {
        ::KillTimer(Handle(), kRunFrameTimer);
        FNewsWhileAsking = FNewsWhileAsking.value_or(false);
        return 0;
      }
      TakeRunFrame();
      return 0;
    case WM_CLOSE:
      CloseWhenStopped();
      return 0;
    case WM_ENDSESSION:
      if (wParam != FALSE) EndSession();
      return 0;
    case WM_COMMAND:
      // Esc, as the dialog keys hand it to the window.
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
        StopRun();
        return 0;
      }
      break;
    default:
      break;
  }
  return TForm::WndProc(message, wParam, lParam);
}

void TfrmShredder::btnCloseClick(TComponent*) { CloseWhenStopped(); }

void TfrmShredder::Exit1Click(TComponent*) { frmShredder->CloseWhenStopped(); }

void TfrmShredder::About1Click(TComponent*) { frmAbout->ShowModal(); }
