#include "engine/MetadataScrub.h"

#include <chrono>

namespace {

std::uint64_t Seed() {
  // random_device alone may be a fixed sequence on some runtimes; the clock makes
  // two runs differ there too. The names only need to be unpredictable, not secret.
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
  return (static_cast<std::uint64_t>(device()) << 32 ^ device()) ^ now;
}

}  // namespace

std::string_view FolderOf(std::string_view path) {
  if (const auto slash = path.find_last_of("\\/"); slash != std::string_view::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}

TMetadataScrub::TMetadataScrub(IFileSystem& fileSystem) : FFileSystem(fileSystem), FRandom(Seed()) {}

std::string TMetadataScrub::NewName(std::string_view folder) {
  static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
  std::string name(folder);
  for (std::size_t i = 0; i < kScrubNameLength; ++i) name += kAlphabet[pick(FRandom)];
  return name;
}

void TMetadataScrub::ForgetLengthAndTimes(const std::string& path) {
  // Nothing of the contents is left to lose: if this open fails (a scanner has the
  // file), the name still goes and the file is still deleted.
  const auto file = FFileSystem.OpenExisting(path, true);
  if (!file) return;
  // Times last: cutting the length sets the last-write time. One flush carries both.
  file->Truncate();
  file->SetTimes(kScrubFileTime);
  file->Flush();
}

bool TMetadataScrub::ScrubAndDelete(const std::string& path) {
  ForgetLengthAndTimes(path);

  // Each rename writes the new name where the file system kept the old one; a
  // rename that fails leaves the file under the name it has, and it is deleted
  // under that name: its contents are gone already. The system refuses a name
  // that is taken, so no rename can replace another file.
  std::string current = path;
  for (int i = 0; i < kRenames; ++i) {
    std::string next = NewName(FolderOf(path));
    if (!FFileSystem.Rename(current, next)) break;
    current = std::move(next);
  }

  FFileSystem.Delete(current);
  if (!FFileSystem.NameExists(current)) return current == path || !FFileSystem.NameExists(path);
  if (current != path) FFileSystem.Rename(current, path);
  return false;
}
