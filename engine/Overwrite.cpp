#include "engine/Overwrite.h"

#include <vector>

std::string StatusText(std::string_view entry, std::int64_t shredSize) {
  std::string text = "shredding ";
  text += entry;
  text += ": size is ";
  text += std::to_string(shredSize);
  text += " bytes ...";
  return text;
}

TOverwrite OverwriteWithZeros(IWritableFile& file, std::int64_t size, std::int32_t blockSize, IShredDisplay& display,
                              const TRunStop& stop) {
  const std::vector<std::byte> zeros(static_cast<std::size_t>(blockSize));
  const std::int64_t divisor = ProgressDivisor(size);
  std::int64_t written = 0;
  while (written < size) {
    const std::int64_t length = written + blockSize < size ? blockSize : size - written;
    display.SetReadoutText(ReadoutWindow(length));
    if (!file.Write(zeros.data(), static_cast<std::uint32_t>(length))) return TOverwrite::Failed;
    written += length;
    display.SetProgressPosition(static_cast<std::int32_t>(written / divisor));
    if (written < size && stop.Requested()) return TOverwrite::Stopped;
  }
  return TOverwrite::Complete;
}
