#include "ui/ReadoutFont.h"

#include <cstring>

#include "base/Handles.h"
#include "ui/Resources.h"

namespace {

int CALLBACK NoteFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

}  // namespace

bool FontFamilyInstalled(const char* face) {
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
  bool found = false;
  const WindowDc screen(nullptr);
  ::EnumFontFamiliesExA(screen.get(), &wanted, NoteFamily, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

TReadoutFont::TReadoutFont() {
  if (FontFamilyInstalled(kInstalledFace)) return;
  const HMODULE self = ::GetModuleHandleA(nullptr);
  const HRSRC resource = ::FindResourceA(self, MAKEINTRESOURCEA(IDR_OCRA_FONT), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  const HGLOBAL data = resource ? ::LoadResource(self, resource) : nullptr;
  void* bytes = data ? ::LockResource(data) : nullptr;
  if (!bytes) return;  // then the system's substitute shows the digits
  DWORD fonts = 0;
  FRegistered.reset(::AddFontMemResourceEx(bytes, ::SizeofResource(self, resource), nullptr, &fonts));
  if (FRegistered) FFace = kEmbeddedFace;
}
