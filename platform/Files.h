#pragma once

#include "platform/FileTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The file calls of the program on its own paths ("\" read as a separator,
// server paths under the unc root). A handle is a file descriptor above 2;
// 0 means none. On failure a call returns 0, false or -1 and leaves the
// reason in errno, where the system error text finds it.
namespace platform::files {

int Open(std::string_view path, OpenMode mode);
bool Close(int handle);
// Reads until the buffer is full or the file ends; the bytes read, or -1.
std::int64_t Read(int handle, std::span<std::uint8_t> buffer);
// Writes everything; the bytes written, or -1.
std::int64_t Write(int handle, std::span<const std::uint8_t> data);
// Moves the file position; the new position, or -1.
std::int64_t Seek(int handle, std::int64_t position);
bool StatHandle(int handle, FileStatus& status);
bool Sync(int handle);
bool SetHandleTimes(int handle, FileTime accessed, FileTime modified);
bool SetHandleMode(int handle, unsigned mode);

bool Stat(std::string_view path, FileStatus& status, bool followLinks);
bool Rename(std::string_view from, std::string_view to, bool replace);
bool Unlink(std::string_view path);
bool MakeFolder(std::string_view path);
bool RemoveFolder(std::string_view path);
bool SetMode(std::string_view path, unsigned mode);
bool SetTimes(std::string_view path, FileTime accessed, FileTime modified);
bool ListFolder(std::string_view path, std::vector<FolderEntry>& entries);
bool GetDiskSpace(std::string_view path, DiskSpace& space);
// The native absolute path with links, "." and ".." resolved.
bool ResolvePath(std::string_view path, std::string& resolved);

} // namespace platform::files
