#include "engine/run/NamedStreams.h"

#include "engine/Overwrite.h"
#include "engine/ShredDisplay.h"
#include "engine/run/ShredTexts.h"

namespace {

// The stream as its file's reason names it; a name holding the row's separator is
// left out, as it would end the reason early.
std::string StreamReason(const std::string& stream, std::string_view why) {
  const std::string named = stream.find(") ... ") == std::string::npos ? " \"" + stream + "\"" : "";
  return "its named stream" + named + " was not shredded: " + std::string(why);
}

// One stream, whole; empty when it is gone.
std::string ShredStream(IFileSystem& fileSystem, const std::string& path, const std::optional<TFileIdentity>& identity,
                        const TRunStop& stop) {
  {
    const auto file = fileSystem.OpenExisting(path, true);
    if (!file) return std::string(ReasonOf(fileSystem.LastError()));
    // A stream carries its file's number: another file under the name is not touched.
    if (identity && file->Identity() != identity) return std::string(kChangedReason);
    const std::int64_t length = file->Length();
    if (length < 0) return std::string(kLengthUnknownReason);
    // A stream's progress is not the file's: the bar and readout stay with the file.
    TNullDisplay quiet;
    switch (OverwriteWithZeros(*file, length, BlockSizeFor(length), quiet, stop)) {
      case TOverwrite::Complete:
        break;
      case TOverwrite::Stopped:
        return std::string(kStoppedInStreamReason);
      case TOverwrite::Failed:
        return std::string(kWriteFailedReason);
    }
    if (!file->Flush()) return std::string(kFlushFailedReason);
    if (!file->Truncate()) return std::string(kNotDeletedReason);
  }
  if (!fileSystem.Delete(path) || fileSystem.NameExists(path)) return std::string(kNotDeletedReason);
  return {};
}

}  // namespace

std::string ShredNamedStreams(IFileSystem& fileSystem, const std::string& path,
                              const std::optional<TFileIdentity>& identity, const TRunStop& stop) {
  const auto streams = fileSystem.NamedStreams(path);
  if (!streams) return std::string(kStreamsUnlistedReason);
  for (const std::string& stream : *streams) {
    if (stop.Requested()) return std::string(kStoppedInStreamReason);
    if (const std::string why = ShredStream(fileSystem, path + ":" + stream, identity, stop); !why.empty())
      return StreamReason(stream, why);
  }
  return {};
}
