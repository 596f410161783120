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

std::string TNeutralNames::NameInGap(std::string_view folder, const TNameGap& gap, std::size_t length) {
  std::string plain;
  for (const char c : gap.next)
    if (kPlain.find(c) != std::string_view::npos) plain += c;
  std::string name = std::string(folder) + gap.prefix + Pick(plain.empty() ? gap.next : plain);
  for (std::size_t i = gap.prefix.size() + 1; i < length; ++i) name += Pick(kPlain);
  return name;
}

std::string_view FolderOf(std::string_view path) {
  if (const auto slash = path.find_last_of("\\/"); slash != std::string_view::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}
