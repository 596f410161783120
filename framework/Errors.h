#pragma once
// The kinds of error the GUI library raises, each with the text the user is shown.
// Catch them as Exception; the kind is for tests and readers.

#include "base/Exception.h"

#include <string>

// A list operation got an index outside 0 .. count - 1.
class EListError : public Exception {
 public:
  explicit EListError(int index)
      : Exception("List index out of bounds (" + std::to_string(index) + ")") {}
};

// The system refused to store more (a list box that is full).
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// An object was not of the class an operation needs (a drop target whose owner is no form).
class EInvalidCast : public Exception {
 public:
  EInvalidCast() : Exception("Invalid class typecast") {}
};
