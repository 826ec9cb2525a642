#include "cache/ShortcutFile.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "platform/ServerPaths.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace cache::shortcut {

namespace {

constexpr std::uint32_t HeaderSize = 0x4C;
// The class identifier every shell link carries after its header size.
constexpr std::array<std::uint8_t, 16> LinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                      0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::size_t LinkFlagsAt = 20;
constexpr std::uint32_t HasLinkTargetIdList = 0x1;
constexpr std::uint32_t HasLinkInfo = 0x2;
constexpr std::uint32_t ForceNoLinkInfo = 0x100;

// Link information flags.
constexpr std::uint32_t VolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t CommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr std::uint32_t LinkInfoHeaderWithUnicode = 0x24;
constexpr std::uint32_t NetworkLinkMinimumSize = 0x14;

// Bounds-checked little-endian reads of a byte range.
class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<std::uint32_t> U16(std::size_t at) const
    {
        if (at > bytes_.size() || bytes_.size() - at < 2) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(bytes_[at] | (bytes_[at + 1] << 8));
    }
    std::optional<std::uint32_t> U32(std::size_t at) const
    {
        if (at > bytes_.size() || bytes_.size() - at < 4) {
            return std::nullopt;
        }
        return static_cast<std::uint32_t>(bytes_[at]) | (static_cast<std::uint32_t>(bytes_[at + 1]) << 8) |
               (static_cast<std::uint32_t>(bytes_[at + 2]) << 16) | (static_cast<std::uint32_t>(bytes_[at + 3]) << 24);
    }
    // A NUL-terminated string in the system code page, decoded.
    std::optional<std::string> Ansi(std::size_t at) const
    {
        if (at >= bytes_.size()) {
            return std::nullopt;
        }
        std::size_t end = at;
        while (end < bytes_.size() && bytes_[end] != 0) {
            ++end;
        }
        if (end == bytes_.size()) {
            return std::nullopt;
        }
        return textcodec::Decode(bytes_.subspan(at, end - at));
    }
    // A NUL-terminated UTF-16LE string, as UTF-8.
    std::optional<std::string> Unicode(std::size_t at) const
    {
        std::u16string units;
        for (std::size_t i = at;; i += 2) {
            const std::optional<std::uint32_t> unit = U16(i);
            if (!unit) {
                return std::nullopt;
            }
            if (*unit == 0) {
                break;
            }
            units.push_back(static_cast<char16_t>(*unit));
        }
        return ToUtf8(units);
    }
    std::span<const std::uint8_t> Sub(std::size_t at, std::size_t size) const
    {
        if (at > bytes_.size() || bytes_.size() - at < size) {
            return {};
        }
        return bytes_.subspan(at, size);
    }
    std::size_t Size() const { return bytes_.size(); }

private:
    static std::string ToUtf8(const std::u16string& units)
    {
        constexpr std::uint32_t Replacement = 0xFFFD;
        std::string out;
        for (std::size_t i = 0; i < units.size(); ++i) {
            const std::uint32_t unit = units[i];
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                textcodec::AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
                ++i;
            } else if (unit >= 0xD800 && unit <= 0xDFFF) {
                textcodec::AppendUtf8(out, Replacement);
            } else {
                textcodec::AppendUtf8(out, unit);
            }
        }
        return out;
    }

    std::span<const std::uint8_t> bytes_;
};

// The network share and device of a common network relative link.
std::optional<std::string> NetName(const Bytes& link)
{
    const auto size = link.U32(0);
    const auto netNameOffset = link.U32(8);
    if (!size || *size < NetworkLinkMinimumSize || !netNameOffset) {
        return std::nullopt;
    }
    if (*netNameOffset > NetworkLinkMinimumSize) {
        if (const auto unicodeOffset = link.U32(20); unicodeOffset && *unicodeOffset != 0) {
            return link.Unicode(*unicodeOffset);
        }
    }
    return link.Ansi(*netNameOffset);
}

std::optional<std::string> TargetFromLinkInfo(const Bytes& info)
{
    const auto headerSize = info.U32(4);
    const auto flags = info.U32(8);
    const auto localBaseOffset = info.U32(16);
    const auto networkOffset = info.U32(20);
    const auto suffixOffset = info.U32(24);
    if (!headerSize || !flags || !localBaseOffset || !networkOffset || !suffixOffset) {
        return std::nullopt;
    }
    const bool unicode = *headerSize >= LinkInfoHeaderWithUnicode;
    std::optional<std::string> suffix;
    if (unicode) {
        if (const auto at = info.U32(32); at && *at != 0) {
            suffix = info.Unicode(*at);
        }
    }
    if (!suffix) {
        suffix = info.Ansi(*suffixOffset);
    }
    if (!suffix) {
        suffix = std::string();
    }
    // A mapped drive names its share too: the share is what other machines
    // reach, the drive letter is not.
    if ((*flags & CommonNetworkRelativeLinkAndPathSuffix) != 0 && *networkOffset < info.Size()) {
        const Bytes link(info.Sub(*networkOffset, info.Size() - *networkOffset));
        if (std::optional<std::string> share = NetName(link)) {
            if (!suffix->empty() && !share->empty() && share->back() != '\\') {
                *share += '\\';
            }
            return *share + *suffix;
        }
    }
    if ((*flags & VolumeIdAndLocalBasePath) != 0) {
        std::optional<std::string> base;
        if (unicode) {
            if (const auto at = info.U32(28); at && *at != 0) {
                base = info.Unicode(*at);
            }
        }
        if (!base) {
            base = info.Ansi(*localBaseOffset);
        }
        if (base) {
            return *base + *suffix;
        }
    }
    return std::nullopt;
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace

std::optional<std::string> ReadTarget(std::span<const std::uint8_t> bytes)
{
    const Bytes file(bytes);
    const auto headerSize = file.U32(0);
    const auto flags = file.U32(LinkFlagsAt);
    if (!headerSize || *headerSize != HeaderSize || !flags || file.Size() < HeaderSize) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> classId = file.Sub(4, LinkClassId.size());
    if (!std::equal(classId.begin(), classId.end(), LinkClassId.begin(), LinkClassId.end())) {
        return std::nullopt;
    }
    std::size_t at = HeaderSize;
    if ((*flags & HasLinkTargetIdList) != 0) {
        const auto idListSize = file.U16(at);
        if (!idListSize) {
            return std::nullopt;
        }
        at += 2 + *idListSize;
    }
    if ((*flags & HasLinkInfo) == 0 || (*flags & ForceNoLinkInfo) != 0) {
        return std::nullopt;
    }
    const auto infoSize = file.U32(at);
    if (!infoSize || *infoSize < 0x1C) {
        return std::nullopt;
    }
    const std::span<const std::uint8_t> info = file.Sub(at, *infoSize);
    if (info.empty()) {
        return std::nullopt;
    }
    return TargetFromLinkInfo(Bytes(info));
}

std::string MapTarget(std::string_view storedTarget)
{
    std::string_view target = storedTarget;
    // The long-path forms: "\\?\UNC\host\share" is a share, "\\?\C:\" a drive.
    constexpr std::string_view LongUnc = "\\\\?\\UNC\\";
    constexpr std::string_view LongPath = "\\\\?\\";
    std::string server;
    if (target.substr(0, LongUnc.size()) == LongUnc) {
        server = "//" + std::string(target.substr(LongUnc.size()));
    } else if (target.substr(0, LongPath.size()) == LongPath) {
        return {};
    } else if (target.size() > 2 && IsSeparator(target[0]) && IsSeparator(target[1]) && !IsSeparator(target[2])) {
        server = std::string(target);
    } else {
        return {};
    }
    for (char& c : server) {
        if (c == '\\') {
            c = '/';
        }
    }
    // A share needs a host; "//" alone names nothing.
    if (server.size() <= 2 || server[2] == '/') {
        return {};
    }
    // A target whose ".." climb out of its share would reach whatever the
    // machine holds beside its mounted shares.
    if (platform::LeavesItsShare(server)) {
        basic::WriteLog("Shortcut target leaves its share and is not offered: " + std::string(storedTarget), 1, 0);
        return {};
    }
    return server;
}

std::string ResolveShortcut(std::string_view path)
{
    const std::int64_t size = basic::GetFileSizeByName(path);
    if (size <= 0 || size > MaxShortcutBytes) {
        return {};
    }
    std::vector<std::uint8_t> bytes;
    if (basic::ReadWholeFile(bytes, path) == 0) {
        return {};
    }
    const std::optional<std::string> target = ReadTarget(bytes);
    return target ? MapTarget(*target) : std::string();
}

} // namespace cache::shortcut
