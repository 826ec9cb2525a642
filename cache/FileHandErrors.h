#pragma once

#include <cstdint>
#include <string>

// The error codes that every operation of the file transfer control shares,
// with the texts the callers show to the operator.
namespace cache::filehand {

inline constexpr std::int32_t NoError = 0;
inline constexpr std::int32_t Cancelled = 1;
inline constexpr std::int32_t TargetFolderNotMade = 2;
inline constexpr std::int32_t NoTemporaryName = 3;
inline constexpr std::int32_t SourceMissing = 4;
inline constexpr std::int32_t TargetNotDeleted = 5;
inline constexpr std::int32_t EmptyCopyFailed = 6;
inline constexpr std::int32_t SourceNotRead = 7;
inline constexpr std::int32_t TargetNotWritten = 8;
inline constexpr std::int32_t OldTargetNotDeleted = 9;
inline constexpr std::int32_t TargetExists = 10;
inline constexpr std::int32_t TemporaryNotRenamed = 11;
inline constexpr std::int32_t SourceNotDeleted = 12;
inline constexpr std::int32_t CopyLoopExhausted = 13;
inline constexpr std::int32_t ListingTooLong = 14;

// The text of a code; "" for a code outside 0..14.
std::string ErrorCodeText(std::int32_t code);

} // namespace cache::filehand
