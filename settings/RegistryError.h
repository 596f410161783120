#pragma once
// The settings store's one kind of error, with the text the user is shown.

#include "base/Exception.h"
#include "base/MessageFormat.h"

#include <string_view>

// A registry value could not be set, read, or was not text.
class ERegistryException : public Exception {
 public:
  ERegistryException(std::string_view pattern, std::string_view valueName)
      : Exception(FormatMessage1(pattern, valueName)) {}
};
