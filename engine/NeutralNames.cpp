#include "engine/NeutralNames.h"

#include <chrono>
#include <cstdint>

namespace {

std::uint64_t Seed() {
  // random_device alone may be a fixed sequence on some runtimes; the clock makes
  // two runs differ there too. The names only need to be unpredictable, not secret.
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return (static_cast<std::uint64_t>(device()) << 32 ^ device()) ^ now;
}

}  // namespace

TNeutralNames::TNeutralNames() : FRandom(Seed()) {}

char TNeutralNames::Pick(std::string_view characters) {
  std::uniform_int_distribution<std::size_t> pick(0, characters.size() - 1);
  return characters[pick(FRandom)];
}

std::string TNeutralNames::NewName(std::string_view folder, std::size_t length) {
  std::string name(folder);
  for (std::size_t i = 0; i < length; ++i) name += Pick(kPlain);
  return name;
}
