#include "ui/pShredder.h"

#include <unordered_set>

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Menu.h"
#include "framework/OpenDialog.h"
#include "framework/ProgressBar.h"
#include "settings/Settings.h"
#include "ui/DDDest.h"
#include "ui/FolderPart.h"
#include "ui/HListBox.h"
#include "ui/about.h"

TfrmShredder* frmShredder = nullptr;

namespace {

using F = TfrmShredder;

constexpr TColor kSilver = RGBColor(192, 192, 192);
constexpr TColor kGrey = RGBColor(128, 128, 128);

constexpr TMenuItemSpec kMenu[] = {
    {.Name = "File1", .Caption = "&File", .Level = 0},
    {.Name = "Exit1", .Caption = "E&xit", .Level = 1, .OnClick = Handler<&F::Exit1Click>},
    {.Name = "About1", .Caption = "&About", .Level = 0, .OnClick = Handler<&F::About1Click>},
};

void SetUpDropTarget(TForm& form, TComponent& component) {
  auto& target = static_cast<TDnDForm&>(component);
  target.SetActive(true);
  target.OnDnDItem = TDnDItemEvent::Bind<&F::DnDForm1DnDItem>(&static_cast<F&>(form));
}

// The order of the visible controls gives their ids (see ShredderIds.h).
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
    {.Field = Field<&F::DnDForm1>, .Name = "DnDForm1", .Setup = SetUpDropTarget},
    {.Field = Field<&F::MainMenu1>, .Name = "MainMenu1", .MenuItems = kMenu},
};

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

// Draws what the list held back, and gives the status line its text, on every way
// out of a command.
class TFlushAtEnd {
 public:
  explicit TFlushAtEnd(TFileListAdapter& list, TControlsDisplay* screen = nullptr) noexcept
      : FList(list), FScreen(screen) {}
  TFlushAtEnd(const TFlushAtEnd&) = delete;
  TFlushAtEnd& operator=(const TFlushAtEnd&) = delete;
  ~TFlushAtEnd() {
    FList.Flush();
    if (FScreen != nullptr) FScreen->Flush();
  }

 private:
  TFileListAdapter& FList;
  TControlsDisplay* FScreen;
};

}  // namespace

TfrmShredder::TfrmShredder(TComponent* owner) : TForm(owner) {
  LoadLayout(kLayout);
  UseAvailableReadoutFont();
  AllowDropsWhenElevated();
  FFileList = std::make_unique<TFileListAdapter>(*ListBox1);
  FScreen = std::make_unique<TControlsDisplay>(*Edit1, *Label2, *pbWiping);
  FDisplay = std::make_unique<TDisplayThrottle>(*FScreen, [this] { return pbWiping->Width(); });
  FEngine = std::make_unique<TShredEngine>(FFileSystem, *FDisplay);
}

TfrmShredder::~TfrmShredder() = default;

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

void TfrmShredder::btnBrowseClick(TComponent*) {
  const std::string folder = ReadSetting("SearchPath", "");
  odWipe->SetInitialDir(folder);
  if (odWipe->Execute()) {
    // Exact, byte-for-byte matches only; a name chosen twice is listed once.
    std::unordered_set<std::string> listed;
    for (int index = 0; index < ListBox1->Count(); ++index) listed.insert(ListBox1->Text(index));
    const TFlushAtEnd flush{*FFileList};
    for (const std::string& file : odWipe->Files())
      if (listed.insert(file).second) FFileList->AddString(file);
  }
  UpdateWipeButton();
  if (!odWipe->Files().empty()) WriteSetting("SearchPath", FolderPart(odWipe->Files().front()));
}

void TfrmShredder::Button1Click(TComponent*) {
  const TFlushAtEnd flush{*FFileList};
  if (ListBox1->SelCount() == 0)
    for (int index = 0; index < ListBox1->Count(); ++index) ListBox1->SetSelected(index, true);
  int index = 0;
  while (ListBox1->SelCount() > 0) {
    if (ListBox1->Selected(index)) {
      FFileList->Delete(index);
      FFileList->Repaint();
    } else {
      ++index;
    }
  }
  UpdateWipeButton();
}

void TfrmShredder::DnDForm1DnDItem(TComponent*, const std::string& Item) {
  FFileList->AddString(Item);
  if (!btnWipe->Enabled()) btnWipe->SetEnabled(true);
  if (!FFlushPosted) FFlushPosted = ::PostMessageA(Handle(), kFlushList, 0, 0) != FALSE;
}

LRESULT TfrmShredder::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kFlushList) return TForm::WndProc(message, wParam, lParam);
  FFlushPosted = false;
  FFileList->Flush();
  return 0;
}

void TfrmShredder::btnWipeClick(TComponent*) {
  // The list may hold back its last marks for a moment, and the status line its
  // last text; both are settled however the run ends, before any error is shown.
  const TFlushAtEnd flush{*FFileList, FScreen.get()};
  FEngine->Run(*FFileList);
}

void TfrmShredder::btnCloseClick(TComponent*) { Close(); }

void TfrmShredder::Exit1Click(TComponent*) { frmShredder->Close(); }

void TfrmShredder::About1Click(TComponent*) { frmAbout->ShowModal(); }

std::int64_t TfrmShredder::ShredSize(const std::string& entry) { return FEngine->ShredSize(entry); }

std::int64_t TfrmShredder::ShredFile(const std::string& entry, std::int64_t shredSize) {
  const TFlushAtEnd flush{*FFileList, FScreen.get()};
  return FEngine->ShredFile(entry, shredSize);
}
