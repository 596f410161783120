#pragma once
// A form's stored layout: plain data, one row per component, applied by one loop
// when the form is created (TForm::LoadLayout). A reader checks a window against
// its description by reading one table.
//
//   constexpr TControlSpec kControls[] = {
//       {.Field = Field<&TfrmAbout::OKButton>, .Name = "OKButton", .Bounds = {111, 180, 75, 25},
//        .Caption = "OK", .TabOrder = 1, .Default = true, .ModalResult = mrOk,
//        .OnClick = Handler<&TfrmAbout::OKButtonClick>},
//   };

#include "framework/Event.h"
#include "framework/Graphics.h"

#include <span>
#include <string_view>
#include <type_traits>

class TComponent;
class TControl;
class TForm;

struct TBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// The parent edges a control keeps its distance to when the parent is resized.
// Left and right together stretch it; right alone moves it with the right edge.
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

enum class TAlign { alNone, alBottom };  // alBottom: the bottom edge, full client width
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TCursor { crDefault, crHandPoint };
enum class TBevelCut { bvNone, bvLowered, bvRaised };
enum class TBorderStyle { bsSizeable, bsDialog };
enum class TPosition { poDesigned, poScreenCenter };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;

// 0 means "no limit" on that side.
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;
};

// Binds a stored handler name to the form the layout is applied to.
using TNotifyHandler = TNotifyEvent (*)(TComponent& form);
// Makes one component, owned by the form, and stores it in its field of the form.
// Whether the kind is a control is known from the table alone, so the ids the
// controls get can be worked out at compile time (ControlId).
struct TComponentFactory {
  TComponent& (*Make)(TForm& form) = nullptr;
  bool IsControl = false;
};

// The controls of a layout get the child-window ids kFirstControlId, +1, ... in
// table order; other components take none. Clear of IDOK and IDCANCEL, which the
// dialog keys send.
inline constexpr int kFirstControlId = 100;

struct TMenuItemSpec {
  std::string_view Name{};
  std::string_view Caption{};
  int Level = 0;  // 0: on the menu bar; 1: in the drop-down of the nearest level-0 item above
  TNotifyHandler OnClick = nullptr;
};

// One component of a layout. Each kind reads the properties it has and ignores the rest.
struct TControlSpec {
  TComponentFactory Field{};  // Field<&TfrmX::Name>: the field's type is the kind
  std::string_view Name{};
  std::string_view Parent{};  // a control earlier in the table; empty: the form
  TBounds Bounds{};
  std::string_view Caption{};  // a control's text; a dialog's title
  TFontSpec Font{};
  TColor Color = clDefault;
  TAnchors Anchors = akLeft | akTop;
  TAlign Align = TAlign::alNone;
  int TabOrder = -1;  // -1: not a tab stop
  bool Enabled = true;
  bool Visible = true;
  TCursor Cursor = TCursor::crDefault;
  // labels
  bool Transparent = false;
  bool WordWrap = false;
  bool AutoSize = false;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TSizeConstraints Constraints{};
  // buttons
  bool Default = false;
  TModalResult ModalResult = mrNone;
  // edits
  bool ReadOnly = false;
  // list boxes
  bool MultiSelect = false;
  bool ExtendedSelect = true;
  bool Sorted = false;
  // progress bars
  int Min = 0;
  int Max = 100;
  // panels
  TBevelCut BevelOuter = TBevelCut::bvNone;
  TBevelCut BevelInner = TBevelCut::bvNone;
  // images: an icon resource of the program file
  int Icon = 0;
  bool Stretch = false;
  // main menus
  std::span<const TMenuItemSpec> MenuItems{};
  // events
  TNotifyHandler OnClick = nullptr;
  // Stored properties of kinds this library does not know (a drop target's Active
  // and its events): run after the row's own properties, before any Loaded.
  void (*Setup)(TForm& form, TComponent& component) = nullptr;
};

struct TFormSpec {
  std::string_view Caption{};
  int Left = 0;
  int Top = 0;
  int ClientWidth = 0;  // the window is sized so that its client area is exactly this
  int ClientHeight = 0;
  TBorderStyle BorderStyle = TBorderStyle::bsSizeable;
  TPosition Position = TPosition::poDesigned;
  TColor Color = clBtnFace;
  TFontSpec Font = {.Name = "MS Sans Serif", .Height = 11, .Color = clWindowText};
  TNotifyHandler OnShow = nullptr;
  std::span<const TControlSpec> Controls{};
};

namespace layout_detail {

template <typename T>
struct MemberOf;
template <typename C, typename F>
struct MemberOf<F* C::*> {
  using Class = C;
  using Type = F;
};

template <typename T>
struct MethodOf;
template <typename C, typename... A>
struct MethodOf<void (C::*)(A...)> {
  using Class = C;
  using Event = TEvent<A...>;
};

template <auto Member>
TComponent& MakeField(TForm& form) {
  using M = MemberOf<decltype(Member)>;
  auto& owner = static_cast<typename M::Class&>(form);
  auto* component = new typename M::Type(&owner);  // the form owns it from here on
  owner.*Member = component;
  return *component;
}

template <auto Method>
typename MethodOf<decltype(Method)>::Event BindToForm(TComponent& form) {
  using M = MethodOf<decltype(Method)>;
  // static_cast, not a reinterpretation: the form class may have other bases first.
  return M::Event::template Bind<Method>(&static_cast<typename M::Class&>(form));
}

}  // namespace layout_detail

// .Field = Field<&TfrmShredder::btnWipe>
template <auto Member>
constexpr TComponentFactory Field{
    &layout_detail::MakeField<Member>,
    std::is_base_of_v<TControl, typename layout_detail::MemberOf<decltype(Member)>::Type>};

// The child-window id the layout gives the control of that name; -1 when no row of
// that name is a control. For static_assert against ids copied elsewhere.
constexpr int ControlId(std::span<const TControlSpec> rows, std::string_view name) {
  int id = kFirstControlId;
  for (const TControlSpec& row : rows) {
    if (row.Name == name) return row.Field.IsControl ? id : -1;
    if (row.Field.IsControl) ++id;
  }
  return -1;
}

// .OnClick = Handler<&TfrmShredder::btnWipeClick>
template <auto Method>
constexpr auto Handler = &layout_detail::BindToForm<Method>;
