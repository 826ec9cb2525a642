#pragma once

#include "platform/FileTypes.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's file layer: handles with 64-bit positions, existence tests,
// deletion, renaming, copying, comparing, file times and free disk space.
// Sizes and positions are bytes in 64 bits; -1 means unknown. A handle is an
// int, 0 meaning none. Paths may use "\" as well as "/", and "//host/share/..."
// reaches a server share.
namespace basic {

// Modes of OpenFileHandle.
inline constexpr int OpenForRead = 0;      // an existing file
inline constexpr int OpenForWrite = 1;     // opened or created
inline constexpr int OpenForReadWrite = 2; // opened or created

// The handle, or 0 when the open failed or mode is unknown. flags are the
// platform attributes of other systems and have no meaning here.
int OpenFileHandle(std::string_view path, int mode, int flags);
// Closes a non-zero handle and sets the variable to 0.
void CloseFileHandle(int& handle);

// Reads buffer.size() bytes from position through handle, or through a file
// opened by path when handle is 0. Results: the handle, left open, which the
// caller keeps and closes; 1 when closeAfter is set (the handle is closed); 0
// on failure, when the handle is closed too, even one the caller passed in, so
// the caller's variable becomes 0 and nothing is closed twice or leaked. An
// empty buffer with handle 0 and closeAfter 0 only opens the file. Bytes past
// the end of the file read as 0; bytesRead, when given, gets the bytes read.
int ReadFileAt(std::span<std::uint8_t> buffer, std::int64_t position, int handle, std::string_view path, int closeAfter,
               std::int64_t* bytesRead = nullptr);
// Writes all of data at position through an open handle; 1/0.
int WriteFileAt(std::span<const std::uint8_t> data, std::int64_t position, int handle);
// 1 when the file holds at least one byte and bytes now holds all of it.
int ReadWholeFile(std::vector<std::uint8_t>& bytes, std::string_view path);
// The same for a file that may hold at most maxBytes: a larger one is not
// read (-1). size is the file's size, when it opened.
int ReadWholeFileUpTo(std::vector<std::uint8_t>& bytes, std::string_view path, std::int64_t maxBytes,
                      std::int64_t& size);
// 0 on success, -1 on failure.
int SeekFile(int handle, std::int64_t position);

// The size of a file that can be opened for reading, else 0.
std::int64_t GetFileSizeByName(std::string_view path);
// The size, or -1.
std::int64_t GetFileSizeByHandle(int handle);

// 1 for an existing file (not a folder); a blank path is 0.
int FileExists(std::string_view path);
// 1 when the file is gone afterwards or was absent (a symbolic link is removed
// as a link); 0 when the delete failed. Reserved device names are left alone (1).
int DeleteFileForce(std::string_view path);
// Moves source to target in one step; with overwrite an existing target is
// replaced atomically, without it an existing target makes the move fail.
// Across file systems the file is copied (times kept), flushed, and then the
// source is deleted. Failed attempts are retried up to 10 times in all, waiting
// 10, 20 ... 90 ms between them while window events run. 1/0.
int MoveFileOver(std::string_view source, std::string_view target, int overwrite);
// One attempt at a move that never replaces an existing target; 1/0.
int RenameFile(std::string_view oldPath, std::string_view newPath);
// 1 when the base name (no folder, no extension) is CON, PRN, AUX, NUL, CLOCK$,
// COM0..COM9 or LPT0..LPT9 in any case: names the program never creates,
// deletes or moves, since other systems sharing the folders cannot use them.
int IsReservedDeviceName(std::string_view path);
// Copies source over target (an existing writable target is replaced; with
// overwrite a read-only one too), keeping the modification time. The target is
// written beside under a temporary name and renamed into place, so it is never
// seen half-written. 1/0.
int CopyFileOver(std::string_view source, std::string_view target, int overwrite);
// Writes data to path atomically: a temporary file beside it, flushed, then
// renamed over the old file (whose permissions it keeps). 1/0; on failure the
// old file is intact.
int SaveFileAtomic(std::string_view path, std::span<const std::uint8_t> data);
int SaveFileAtomic(std::string_view path, std::string_view text);

// 1 when the files differ, -1 when they are equal: unless sizeOnly, last-write
// times more than 2 seconds apart differ; then the sizes are compared. A file
// that cannot be read counts as different. handle1/handle2 (0 = by path) are
// left open.
int FilesDiffer(std::string_view path1, std::string_view path2, int sizeOnly, int handle1, int handle2);

// yyyy/mm/dd hh:mm:ss in local time; "" when it cannot be converted.
std::string FileTimeToText(platform::FileTime time);
// A time of the file (which: 0 created, 1 last access, 2 last write) in local
// time: parts 1 date, 2 time, 3 both; form 0 digits only (yyyymmddhhmmss), 1
// "yyyy/mm/dd hh:mm:ss", 2 with 年月日時分秒. handle 0 = by path. "" on failure.
std::string GetFileTimeText(std::string_view path, int which, int parts, int form, int handle);

// Space of the file system holding path, less reserve: what 0 free bytes
// minus reserve, 1 total bytes, 2 bytes in use plus reserve, 3 the percentage
// free after the reserve (four decimals). 0 when the path has no root (a
// relative path) or the file system cannot be asked.
double GetDiskFreeBytes(std::string_view path, int what, std::int64_t reserve);

} // namespace basic
