#pragma once
// What Windows keeps with a file besides its data: named data streams. Every file
// downloaded on Windows has one, Zone.Identifier, holding the address it came from;
// other programs keep metadata or hidden data in others. A small stream lives in the
// file's MFT record, which a deletion frees without overwriting. Each stream is
// shredded as the file's data is, before it: overwritten with zeros over its whole
// length, flushed, cut to length 0 and deleted.

#include <optional>
#include <string>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"

// Shreds every named stream of the file at path, each only when it is one of the file
// of this identity (where it is known). Empty when none is left; else why the file
// stays as it is, its own data untouched: the stream that could not be shredded, a
// listing that failed, or a stop.
std::string ShredNamedStreams(IFileSystem& fileSystem, const std::string& path,
                              const std::optional<TFileIdentity>& identity, const TRunStop& stop);
