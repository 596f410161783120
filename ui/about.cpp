#include "ui/about.h"

#include "framework/Button.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/MessageDialog.h"
#include "framework/Panel.h"
#include "ui/Maker.h"
#include "ui/Resources.h"

#include <shellapi.h>

#include <string>

TfrmAbout* frmAbout = nullptr;

namespace {

using F = TfrmAbout;

constexpr TFontSpec kArial = {.Name = "Arial", .Height = 11, .Color = clWindowText};
constexpr TFontSpec kLink = {.Name = "Arial", .Height = 11, .Underline = true, .Color = clBlue};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&F::Panel1>, .Name = "Panel1", .Bounds = {8, 8, 281, 161}, .TabOrder = 0,
     .BevelOuter = TBevelCut::bvLowered, .BevelInner = TBevelCut::bvRaised},
    {.Field = Field<&F::ProgramIcon>, .Name = "ProgramIcon", .Parent = "Panel1", .Bounds = {16, 8, 32, 32},
     .AutoSize = true, .Icon = IDI_MAINICON, .Stretch = true},
    {.Field = Field<&F::ProductName>, .Name = "ProductName", .Parent = "Panel1", .Bounds = {64, 16, 163, 18},
     .Caption = "Quorvane", .Font = {.Name = "Arial", .Height = 16, .Color = clYellow}, .AutoSize = true},
    {.Field = Field<&F::Version>, .Name = "Version", .Parent = "Panel1", .Bounds = {208, 40, 58, 13},
     .Caption = "version " QUORVANE_VERSION, .AutoSize = true, .Alignment = TAlignment::taRightJustify},
    {.Field = Field<&F::Copyright>, .Name = "Copyright", .Parent = "Panel1", .Bounds = {8, 80, 202, 14},
     .Caption = maker::kCopyright, .Font = kArial, .AutoSize = true},
    {.Field = Field<&F::Comments>, .Name = "Comments", .Parent = "Panel1", .Bounds = {8, 112, 34, 14},
     .Caption = "visit at:", .Font = kArial, .WordWrap = true, .AutoSize = true},
    {.Field = Field<&F::OKButton>, .Name = "OKButton", .Bounds = {111, 180, 75, 25}, .Caption = "OK", .TabOrder = 1,
     .Default = true, .ModalResult = mrOk, .OnClick = Handler<&F::OKButtonClick>},
    {.Field = Field<&F::Label1>, .Name = "Label1", .Parent = "Panel1", .Bounds = {56, 112, 180, 14},
     .Caption = maker::kProductPage, .Font = kLink, .Cursor = TCursor::crHandPoint, .AutoSize = true,
     .OnClick = Handler<&F::Label1Click>},
    {.Field = Field<&F::Label2>, .Name = "Label2", .Parent = "Panel1", .Bounds = {56, 136, 125, 14},
     .Caption = maker::kProductMail, .Font = kLink, .Cursor = TCursor::crHandPoint, .AutoSize = true,
     .OnClick = Handler<&F::Label2Click>},
    {.Field = Field<&F::Label3>, .Name = "Label3", .Parent = "Panel1", .Bounds = {8, 136, 27, 14},
     .Caption = "email:", .Font = kArial, .WordWrap = true, .AutoSize = true},
};

constexpr TFormSpec kLayout = {.Caption = "About", .ClientWidth = 298, .ClientHeight = 213,
                               .BorderStyle = TBorderStyle::bsDialog, .Position = TPosition::poScreenCenter,
                               .Controls = kControls};

}  // namespace

TfrmAbout::TfrmAbout(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

void TfrmAbout::OKButtonClick(TComponent*) { Close(); }

bool TfrmAbout::OpenWithShell(const char* address) const {
  const HINSTANCE result = ShellOpen(::GetDesktopWindow(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<UINT_PTR>(result) > 32;
}

// The messages name the maker's general addresses, not the ones that just failed:
// those are the ones a person can still use by hand.
void TfrmAbout::Label1Click(TComponent*) {
  if (OpenWithShell(maker::kProductPage)) return;
  MessageDlg(std::string("An error occurred with web browser request, please open Oyour browser and go to ") +
                 maker::kSoftwarePage + " for more info!",
             mtError, mbOK, 0);
}

void TfrmAbout::Label2Click(TComponent*) {
  const std::string address = std::string("mailto:") + maker::kProductMail + "?subject=Info Request";
  if (OpenWithShell(address.c_str())) return;
  MessageDlg(std::string("An error occurred with automatic mailing, please open Outlook Express and send an "
                         "email addressed to ") +
                 maker::kSupportMail + "!",
             mtError, mbOK, 0);
}
