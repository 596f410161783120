#include "engine/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include <winternl.h>

#include "base/Handles.h"
#include "base/WideText.h"
#include "engine/win32/NtCreate.h"
#include "engine/win32/Win32Path.h"

namespace {

// FILE_INFORMATION_CLASS's FileInternalInformation, which winternl.h does not name.
constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);

// The file's number alone (FileInternalInformation, as nFileIndex gives it): the
// calls that also give the volume's serial number read the volume's description,
// which under Wine costs more than the rest of a small file's shredding.
std::optional<std::uint64_t> FileNumberOf(HANDLE file) {
  IO_STATUS_BLOCK io{};
  LARGE_INTEGER index{};
  if (!NT_SUCCESS(::NtQueryInformationFile(file, &io, &index, sizeof index, kFileInternalInformation)))
    return std::nullopt;
  return static_cast<std::uint64_t>(index.QuadPart);
}

class TWin32File final : public IShredFile {
 public:
  explicit TWin32File(UniqueFile handle) noexcept : FHandle(std::move(handle)) {}

  std::int64_t Length() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(FHandle.get(), &size)) return -1;
    return size.QuadPart;
  }

  bool Write(const std::byte* data, std::uint32_t count) override {
    DWORD written = 0;
    // A disk-full write fails outright, or succeeds with fewer bytes: both are failures,
    // and a disk file takes fewer bytes only when its drive is full.
    if (!::WriteFile(FHandle.get(), data, count, &written, nullptr)) return false;
    if (written != count) ::SetLastError(ERROR_DISK_FULL);
    return written == count;
  }

  bool Flush() override { return ::FlushFileBuffers(FHandle.get()) != FALSE; }

  // Cut in steps from the end: under Wine the file server cuts a file in one piece
  // while every program's windows wait for it.
  bool Truncate() override {
    constexpr LONGLONG kStep = LONGLONG{16} << 20;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(FHandle.get(), &size)) return false;
    do {
      size.QuadPart = size.QuadPart > kStep ? size.QuadPart - kStep : 0;
      if (!::SetFilePointerEx(FHandle.get(), size, nullptr, FILE_BEGIN) || !::SetEndOfFile(FHandle.get())) return false;
    } while (size.QuadPart > 0);
    return true;
  }

  bool SetTimes(std::int64_t fileTime) override {
    FILETIME time{};
    time.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(fileTime) & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(fileTime) >> 32);
    return ::SetFileTime(FHandle.get(), &time, &time, &time) != FALSE;
  }

  std::optional<TFileIdentity> Identity() override {
    const auto number = FileNumberOf(FHandle.get());
    if (!number) return std::nullopt;
    return TFileIdentity{*number};
  }

  // Asked of the file alone: GetFileInformationByHandle reads the volume's description too.
  std::uint32_t Names() override {
    FILE_STANDARD_INFO info{};
    if (!::GetFileInformationByHandleEx(FHandle.get(), FileStandardInfo, &info, sizeof info) || info.NumberOfLinks == 0)
      return 1;
    return info.NumberOfLinks;
  }

 private:
  UniqueFile FHandle;
};

// A plain file on a disk: not a device, a pipe or a console, not a folder, and not a
// link or mount point opened as itself.
bool IsPlainDiskFile(HANDLE file) {
  FILE_BASIC_INFO info{};
  return ::GetFileType(file) == FILE_TYPE_DISK &&
         ::GetFileInformationByHandleEx(file, FileBasicInfo, &info, sizeof info) &&
         (info.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

// "Local\" keeps the name to this session; the rest may hold no backslash.
std::wstring WipeMutexName(std::wstring volume) {
  std::replace(volume.begin(), volume.end(), L'\\', L'/');
  return L"Local\\Quorvane free-space wipe " + volume;
}

class TWin32HeldFolder final : public IHeldFolder {
 public:
  explicit TWin32HeldFolder(UniqueFile folder) noexcept : FFolder(std::move(folder)) {}

  TSmallFile CreateSmallFile(const std::string& name, const std::byte* data, std::uint32_t count) override {
    TSmallFile result;
    const std::wstring wide = WideOf(name);
    if (wide.empty()) return result;
    {
      constexpr ACCESS_MASK kAccess = GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE | SYNCHRONIZE;
      const UniqueFile file = NtCreateNew(FFolder.get(), wide, kAccess, 0, FILE_NON_DIRECTORY_FILE);
      if (!file) return result;
      DWORD written = 0;
      result.made = count == 0 || (::WriteFile(file.get(), data, count, &written, nullptr) && written == count);
      // Asked while the file is open: the system has decided by now where its data lives.
      FILE_STANDARD_INFO info{};
      if (result.made && ::GetFileInformationByHandleEx(file.get(), FileStandardInfo, &info, sizeof info))
        result.allocation = info.AllocationSize.QuadPart;
      // On NTFS a file's number is its MFT reference: the record number in the low 48
      // bits, a sequence number above them.
      if (const auto number = result.made ? FileNumberOf(file.get()) : std::nullopt)
        result.record = static_cast<std::int64_t>(*number & 0xFFFFFFFFFFFFull);
      if (!result.made) {
        // Removed through the handle that made it: the name is certainly this file.
        FILE_DISPOSITION_INFO gone{TRUE};
        ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &gone, sizeof gone);
      }
    }
    return result;
  }

  // Asked of the open folder: no path is looked up again.
  std::int64_t FreeSpace() override {
    IO_STATUS_BLOCK io{};
    FILE_FS_SIZE_INFORMATION size{};
    if (!NT_SUCCESS(::NtQueryVolumeInformationFile(FFolder.get(), &io, &size, sizeof size, FileFsSizeInformation)))
      return -1;
    return size.AvailableAllocationUnits.QuadPart * size.SectorsPerAllocationUnit * size.BytesPerSector;
  }

 private:
  UniqueFile FFolder;
};

std::unique_ptr<IShredFile> Wrap(HANDLE handle) {
  UniqueFile file(handle);
  if (!file) return nullptr;
  return std::make_unique<TWin32File>(std::move(file));
}

}  // namespace

std::uint32_t TWin32FileSystem::GetAttributes(const std::string& path) {
  return ::GetFileAttributesW(Win32Path(path).c_str());
}

bool TWin32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesW(Win32Path(path).c_str(), attributes) != FALSE;
}

bool TWin32FileSystem::FileExists(const std::string& path) {
  // Asked of the attributes rather than of a FindFirstFile search: the same answer
  // for a name without wildcards (the engine never asks with any), but no folder
  // handle is opened, which under Wine is most of the test's cost.
  const DWORD attributes = ::GetFileAttributesW(Win32Path(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool TWin32FileSystem::NameExists(const std::string& path) {
  if (::GetFileAttributesW(Win32Path(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  // Only "not there" means gone; any other failure leaves the question open.
  const DWORD error = ::GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

std::unique_ptr<IShredFile> TWin32FileSystem::OpenExisting(const std::string& path, bool forWriting) {
  const DWORD access = forWriting ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  UniqueFile file(::CreateFileW(Win32Path(path).c_str(), access, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  // What a name leads to is checked when it is opened for reading, as the run sizes it;
  // a later open for writing is of a file the caller knows by its identity. (Asked of
  // a file open for writing, fusefat was seen to lose the writes that followed.)
  if (!file || (!forWriting && !IsPlainDiskFile(file.get()))) return nullptr;
  return std::make_unique<TWin32File>(std::move(file));
}

std::unique_ptr<IShredFile> TWin32FileSystem::CreateFill(const std::string& path) {
  return Wrap(::CreateFileW(Win32Path(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

bool TWin32FileSystem::Delete(const std::string& path) { return ::DeleteFileW(Win32Path(path).c_str()) != FALSE; }

bool TWin32FileSystem::Rename(const std::string& from, const std::string& to) {
  // Without MOVEFILE_REPLACE_EXISTING the system itself refuses a name that is taken,
  // so no check-then-rename race can make it replace a file. Without
  // MOVEFILE_COPY_ALLOWED it never copies: a copy would leave the old name's data.
  return ::MoveFileExW(Win32Path(from).c_str(), Win32Path(to).c_str(), 0) != FALSE;
}

// Asked of the folder itself, which may hold another volume than its drive's root.
std::int64_t TWin32FileSystem::FreeSpace(const std::string& folder) {
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!::GetDiskFreeSpaceExW(Win32Path(folder).c_str(), &available, &total, &totalFree)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

// GetDiskFreeSpaceW wants the volume's root.
std::int64_t TWin32FileSystem::ClusterSize(const std::string& folder) {
  const std::string root = VolumeOf(folder);
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
  if (root.empty() ||
      !::GetDiskFreeSpaceW(Win32Path(root).c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
    return -1;
  return static_cast<std::int64_t>(sectorsPerCluster) * bytesPerSector;
}

// One named mutex per volume: by its GUID where the system has one, else by its
// serial number and root, else by its root alone, as every process of the session
// works them out alike.
std::shared_ptr<void> TWin32FileSystem::HoldVolume(const std::string& folder) {
  std::string root = VolumeOf(folder);
  if (root.empty()) root = folder;
  // "C:\" and "\\?\C:\" are one root.
  if (root.starts_with("\\\\?\\") && root.size() > 5 && root[5] == ':') root.erase(0, 4);
  const std::wstring wideRoot = Win32Path(root);
  wchar_t guid[64] = {};
  DWORD serial = 0;
  std::wstring volume = WideOf(root);
  if (::GetVolumeNameForVolumeMountPointW(wideRoot.c_str(), guid, 64))
    volume = guid;
  else if (::GetVolumeInformationW(wideRoot.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0))
    volume = std::to_wstring(serial) + L" " + volume;
  // Letters name the same root in either case.
  ::CharUpperBuffW(volume.data(), static_cast<DWORD>(volume.size()));
  UniqueKernelObject mutex(::CreateMutexW(nullptr, FALSE, WipeMutexName(volume).c_str()));
  if (!mutex) return nullptr;
  // Abandoned: its holder died, and its leftovers are for this wipe to remove.
  const DWORD taken = ::WaitForSingleObject(mutex.get(), 0);
  if (taken != WAIT_OBJECT_0 && taken != WAIT_ABANDONED) return nullptr;
  return std::shared_ptr<void>(mutex.release(), [](void* held) {
    ::ReleaseMutex(held);
    ::CloseHandle(held);
  });
}

std::string TWin32FileSystem::VolumeOf(const std::string& path) {
  const std::wstring wide = Win32Path(path);
  std::wstring root(wide.size() + MAX_PATH, L'\0');
  if (!::GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size()))) return {};
  root.resize(root.find(L'\0'));
  return ExactNarrowOf(root).value_or(std::string());
}

bool TWin32FileSystem::CreateFolder(const std::string& path) {
  return ::CreateDirectoryW(Win32Path(path).c_str(), nullptr) != FALSE;
}

bool TWin32FileSystem::RemoveFolder(const std::string& path) {
  return ::RemoveDirectoryW(Win32Path(path).c_str()) != FALSE;
}

std::optional<std::vector<TFolderEntry>> TWin32FileSystem::ListFolder(const std::string& path) {
  WIN32_FIND_DATAW data{};
  std::wstring pattern = Win32Path(path);
  // A folder given with its backslash (a drive's root always is): behind the prefix
  // the system takes a doubled one literally.
  if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
  const UniqueFind find(::FindFirstFileW((pattern + L'*').c_str(), &data));
  if (!find) return std::nullopt;
  std::vector<TFolderEntry> entries;
  do {
    const std::wstring_view wide = data.cFileName;
    if (wide == L"." || wide == L"..") continue;
    // A name the program's text cannot hold exactly cannot be named back to the
    // system: the listing is of no use to a caller that acts on the names.
    std::optional<std::string> name = ExactNarrowOf(wide);
    if (!name) return std::nullopt;
    const auto size = static_cast<std::int64_t>(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow);
    entries.push_back({std::move(*name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, size,
                       (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileW(find.get(), &data));
  // A search that stopped for any other reason has not seen everything.
  if (::GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
  return entries;
}

// Opened as itself, and shared for reading and writing but not for deletion: the
// system then refuses to rename or remove it while it is held. Wine opens what a
// folder link points to even when asked for the link, and says so only in the
// name's attributes: both must show a plain folder.
std::optional<TFolderHold> TWin32FileSystem::HoldFolder(const std::string& path) {
  const std::wstring wide = Win32Path(path);
  UniqueFile folder(::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !::GetFileInformationByHandle(folder.get(), &info)) return std::nullopt;
  const auto plainFolder = [](DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
  };
  if (!plainFolder(info.dwFileAttributes) || !plainFolder(::GetFileAttributesW(wide.c_str()))) return std::nullopt;
  const TFolderIdentity identity{info.dwVolumeSerialNumber,
                                 static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
  return TFolderHold{std::shared_ptr<void>(folder.release(), [](void* held) { ::CloseHandle(held); }), identity};
}

// Removed through a handle of the link itself, which only Windows gives: under Wine
// the handle is of what the link points to, and removing it through a path removes
// that folder when it is empty, or that file. Only a name that stands for another
// (a symbolic link, a junction, a mount point) is a link: a cloud file's placeholder
// or a deduplicated file is a reparse point too, and may hold the user's data here.
bool TWin32FileSystem::RemoveLink(const std::string& path) {
  const UniqueFile link(::CreateFileW(Win32Path(path).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!link || !::GetFileInformationByHandleEx(link.get(), FileAttributeTagInfo, &tag, sizeof tag) ||
      (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 || !IsReparseTagNameSurrogate(tag.ReparseTag))
    return false;
  FILE_DISPOSITION_INFO gone{TRUE};
  return ::SetFileInformationByHandle(link.get(), FileDispositionInfo, &gone, sizeof gone) != FALSE;
}

std::unique_ptr<IHeldFolder> TWin32FileSystem::CreateHeldFolder(const std::string& path) {
  const std::wstring name = NtPathOf(path);
  if (name.empty()) return nullptr;
  UniqueFile folder = NtCreateNew(nullptr, name, FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_TRAVERSE | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_DIRECTORY_FILE);
  if (!folder) return nullptr;
  return std::make_unique<TWin32HeldFolder>(std::move(folder));
}

std::optional<std::vector<std::byte>> TWin32FileSystem::ReadSmallFile(const std::string& path, std::size_t limit) {
  const UniqueFile file(::CreateFileW(Win32Path(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  LARGE_INTEGER size{};
  if (!file || !IsPlainDiskFile(file.get()) || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > limit)
    return std::nullopt;
  std::vector<std::byte> data(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!data.empty() && (!::ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr) ||
                        read != data.size()))
    return std::nullopt;
  return data;
}

// The scrub's neighbours by name, read through the same wide search as ListFolder.
std::optional<std::vector<std::string>> TWin32FileSystem::ListNames(const std::string& folder) {
  const auto entries = ListFolder(folder.empty() ? "." : folder);
  if (!entries) return std::nullopt;
  std::vector<std::string> names;
  names.reserve(entries->size());
  for (const TFolderEntry& entry : *entries) names.push_back(entry.name);
  return names;
}

bool TWin32FileSystem::ReadOnlyVolume(const std::string& path) {
  const std::string root = VolumeOf(path);
  DWORD flags = 0;
  return !root.empty() &&
         ::GetVolumeInformationW(Win32Path(root).c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_READ_ONLY_VOLUME) != 0;
}

namespace {

// Whether the volume that holds the file keeps named streams at all.
std::optional<bool> KeepsStreams(const std::wstring& path) {
  const UniqueFile file(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  DWORD flags = 0;
  if (!file || !::GetVolumeInformationByHandleW(file.get(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
    return std::nullopt;
  return (flags & FILE_NAMED_STREAMS) != 0;
}

// The listing gives ":name:$DATA" for each data stream and "::$DATA" for the file's
// own data; another type is no data stream.
std::optional<std::wstring> DataStreamName(std::wstring_view listed) {
  constexpr std::wstring_view kData = L":$DATA";
  if (listed.size() <= kData.size() + 1 || listed.front() != L':' || !listed.ends_with(kData)) return std::nullopt;
  return std::wstring(listed.substr(1, listed.size() - kData.size() - 1));
}

}  // namespace

// Under Wine the listing always ends at once (ERROR_HANDLE_EOF): no stream is ever
// shredded there, and none is guessed.
std::optional<std::vector<std::string>> TWin32FileSystem::NamedStreams(const std::string& path) {
  const std::wstring wide = Win32Path(path);
  std::vector<std::string> names;
  const std::optional<bool> keeps = KeepsStreams(wide);
  if (keeps == false) return names;
  WIN32_FIND_STREAM_DATA found{};
  const UniqueFind find(::FindFirstStreamW(wide.c_str(), FindStreamInfoStandard, &found, 0));
  if (!find) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF) return names;
    // A volume that could not say whether it keeps streams (some network drives), and
    // cannot list any, keeps none; one that says it does must list them.
    if (!keeps && (error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER))
      return names;
    return std::nullopt;
  }
  do {
    const std::optional<std::wstring> stream = DataStreamName(found.cStreamName);
    if (!stream) continue;
    // A stream the program's code page cannot name cannot be opened by its name.
    std::optional<std::string> name = ExactNarrowOf(*stream);
    if (!name) return std::nullopt;
    names.push_back(std::move(*name));
  } while (::FindNextStreamW(find.get(), &found));
  if (::GetLastError() != ERROR_HANDLE_EOF) return std::nullopt;
  return names;
}

TFileError TWin32FileSystem::LastError() {
  switch (::GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return TFileError::kInUse;
    case ERROR_ACCESS_DENIED:
      return TFileError::kAccessDenied;
    case ERROR_WRITE_PROTECT:
      return TFileError::kReadOnlyDrive;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return TFileError::kDriveFull;
    default:
      return TFileError::kOther;
  }
}

// The file systems compare names through the system's upper-case table, which knows
// the case of every script's letters: "É" and "é" name one file, as "E" and "e" do.
// CompareStringOrdinal ignores case with that table.
int TWin32FileSystem::CompareNames(const std::string& a, const std::string& b) {
  // Plain ASCII upper-cases the same in every table, and a scrub sorts whole folders
  // with this: such names are compared here, without two conversions and a call.
  const auto ascii = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  if (ascii(a) && ascii(b)) return IFileSystem::CompareNames(a, b);
  const std::wstring first = WideOf(a);
  const std::wstring second = WideOf(b);
  if ((first.empty() && !a.empty()) || (second.empty() && !b.empty())) return IFileSystem::CompareNames(a, b);
  // CSTR_LESS_THAN, CSTR_EQUAL and CSTR_GREATER_THAN are 1, 2 and 3; 0 is a failure.
  const int order = ::CompareStringOrdinal(first.c_str(), static_cast<int>(first.size()), second.c_str(),
                                           static_cast<int>(second.size()), TRUE);
  if (order != 0) return order - 2;
  return IFileSystem::CompareNames(a, b);
}
