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
#include "ui/ShredderIds.h"
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
  FDrawing = std::make_unique<TDeferredDrawing>(*ListBox1, *Edit1, *Label2, *pbWiping);
  FDisplay = std::make_unique<TDisplayThrottle>(FDrawing->Screen(), [this] { return pbWiping->Width(); });
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

void TfrmShredder::UpdateWipeButton(const TFileRows& rows) { btnWipe->SetEnabled(rows.Count() > 0); }

void TfrmShredder::FormShow(TComponent*) { pbWiping->SetBackgroundColor(kGrey); }

void TfrmShredder::btnBrowseClick(TComponent*) {
  odWipe->SetInitialDir(ReadSetting("SearchPath", ""));
  const bool chosen = odWipe->Execute();
  const TCommandScope command(*FDrawing);
  TFileRows& rows = command.Rows();
  if (chosen) {
    // Exact, byte-for-byte matches only; a name chosen twice is listed once.
    std::unordered_set<std::string> listed;
    for (int index = 0; index < rows.Count(); ++index) listed.insert(rows.Text(index));
    for (const std::string& file : odWipe->Files())
      if (listed.insert(file).second) rows.AddString(file);
  }
  UpdateWipeButton(rows);
  if (!odWipe->Files().empty()) WriteSetting("SearchPath", FolderPart(odWipe->Files().front()));
}

void TfrmShredder::Button1Click(TComponent*) {
  const TCommandScope command(*FDrawing);
  TFileRows& rows = command.Rows();
  if (rows.SelCount() == 0)
    for (int index = 0; index < rows.Count(); ++index) rows.SetSelected(index, true);
  int index = 0;
  while (rows.SelCount() > 0) {
    if (rows.Selected(index)) {
      rows.Delete(index);
      rows.Repaint();
    } else {
      ++index;
    }
  }
  UpdateWipeButton(rows);
}

// A drop is one command, from its start event to its finish event.
void TfrmShredder::DnDForm1DnDStart(TComponent*, int, int, int) { FDrop.emplace(*FDrawing); }

void TfrmShredder::DnDForm1DnDItem(TComponent*, const std::string& Item) {
  // Outside a drop (a caller of the handler itself) the item is a command of its own.
  const TCommandScope command(*FDrawing);
  try {
    command.Rows().AddString(Item);
  } catch (...) {
    // The drop ends with this error: no finish event comes after a failed item.
    FDrop.reset();
    throw;
  }
  if (!btnWipe->Enabled()) btnWipe->SetEnabled(true);
}

void TfrmShredder::DnDForm1DnDFinish(TComponent*) { FDrop.reset(); }

void TfrmShredder::btnWipeClick(TComponent*) {
  const TCommandScope command(*FDrawing);
  FEngine->Run(command.Rows());
}

void TfrmShredder::btnCloseClick(TComponent*) { Close(); }

void TfrmShredder::Exit1Click(TComponent*) { frmShredder->Close(); }

void TfrmShredder::About1Click(TComponent*) { frmAbout->ShowModal(); }

TShredSize TfrmShredder::ShredSize(const std::string& entry) { return FEngine->ShredSize(entry); }

std::int64_t TfrmShredder::ShredFile(const std::string& entry, const TShredSize& size) {
  const TCommandScope command(*FDrawing);
  return FEngine->ShredFile(entry, size);
}
