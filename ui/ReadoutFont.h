#pragma once
// The digit readout's typeface. "OCR A Extended" is missing from most systems, so
// the program carries the public-domain OCR-A face and registers it for itself
// alone when the installed one is not there.

#include <string>

#include "base/Handles.h"

class TReadoutFont {
 public:
  static constexpr const char* kInstalledFace = "OCR A Extended";
  static constexpr const char* kEmbeddedFace = "OCRA";

  TReadoutFont();

  // The face name to ask for: the installed one, or the embedded one once registered.
  const std::string& Face() const noexcept { return FFace; }
  bool Embedded() const noexcept { return static_cast<bool>(FRegistered); }

 private:
  UniqueFontMemory FRegistered;
  std::string FFace = kInstalledFace;
};

bool FontFamilyInstalled(const char* face);
