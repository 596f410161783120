#pragma once
// The file operations the engine needs. Win32FileSystem is the real one; tests
// add a fake for failures the real platform cannot produce on demand.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// An open file, written sequentially from byte 0. Destroying it closes it.
class IShredFile {
 public:
  virtual ~IShredFile() = default;
  // The file's full length, or -1 when it cannot be read.
  virtual std::int64_t Length() = 0;
  // True only when every one of the count bytes was written.
  virtual bool Write(const std::byte* data, std::uint32_t count) = 0;
  // Pushes what was written out of the system's cache onto the medium.
  virtual bool Flush() = 0;
};

class IFileSystem {
 public:
  static constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;
  static constexpr std::uint32_t kReadOnly = 0x1u;

  virtual ~IFileSystem() = default;
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // An existing file that is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  // Anything at all under that name, a folder or a file pending deletion included.
  virtual bool NameExists(const std::string& path) = 0;
  // No sharing, not truncated, positioned at byte 0; null when the open fails.
  virtual std::unique_ptr<IShredFile> OpenExisting(const std::string& path, bool forWriting) = 0;
  // A new file for the free-space fill: no sharing, replaces any file of that name,
  // and the system removes it when it is closed, even if the program dies first.
  virtual std::unique_ptr<IShredFile> CreateFill(const std::string& path) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // Bytes free and available to the user on a drive root such as "C:\", or -1.
  virtual std::int64_t FreeSpace(const std::string& root) = 0;
};
