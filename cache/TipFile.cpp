#include "cache/TipFile.h"

#include "foundation/ByteText.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/ServerIndex.h"
#include "foundation/SharedConf.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <optional>
#include <set>
#include <vector>

namespace FCT_Quind {

namespace {

constexpr std::string_view TipExtension = ".tip";
constexpr std::string_view RefMark = "[Ref]";
constexpr int LastHeadLine = 10;
// A tip is a few short lines; a larger file is not one, and reading it would
// only cost memory and time on every redraw that asks for it.
constexpr std::int64_t MaxTipFileBytes = 1024 * 1024;
// Refused files are logged once each; a redraw asks for them again and again.
constexpr std::size_t RefusalsRemembered = 64;

void LogRefusedOnce(const std::string& tipPath, std::int64_t size)
{
    static std::set<std::string> logged;
    if (logged.contains(tipPath)) {
        return;
    }
    if (logged.size() >= RefusalsRemembered) {
        logged.clear();
    }
    logged.insert(tipPath);
    basic::WriteLog("ReadTipFile: " + tipPath + " is not read: " + std::to_string(size) +
                        " bytes, more than a tip file holds (" + std::to_string(MaxTipFileBytes) + ")",
                    1, 0);
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

std::string_view StripSeparators(std::string_view text, bool leading)
{
    while (!text.empty() && IsSeparator(leading ? text.front() : text.back())) {
        leading ? text.remove_prefix(1) : text.remove_suffix(1);
    }
    return text;
}

std::string_view FolderOf(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? std::string_view() : path.substr(0, at);
}

// base begins folder as whole folder names, case counting, "\" and "/" alike.
bool BeginsWithFolder(std::string_view folder, std::string_view base)
{
    if (folder.size() < base.size()) {
        return false;
    }
    for (std::size_t i = 0; i < base.size(); ++i) {
        const bool same = folder[i] == base[i] || (IsSeparator(folder[i]) && IsSeparator(base[i]));
        if (!same) {
            return false;
        }
    }
    return folder.size() == base.size() || IsSeparator(folder[base.size()]);
}

// The sound's folder below baseFolder. Only a leading base counts: a folder
// that merely contains the base's name further down keeps it.
std::string FolderBelowBase(std::string_view soundPath, std::string_view baseFolder)
{
    std::string_view folder = FolderOf(soundPath);
    const std::string_view base = StripSeparators(baseFolder, false);
    if (BeginsWithFolder(folder, base)) {
        folder = StripSeparators(folder.substr(base.size()), true);
    }
    return std::string(StripSeparators(folder, false));
}

enum class NumberLine { Taken, NotNumeric, TooLarge };

NumberLine ReadNumber(std::string_view line, std::int32_t& field)
{
    const std::optional<double> value = numeric::ParseNumber(line);
    if (!value) {
        return NumberLine::NotNumeric;
    }
    const double rounded = numeric::RoundHalfEven(*value);
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) {
        return NumberLine::TooLarge;
    }
    field = static_cast<std::int32_t>(rounded);
    return NumberLine::Taken;
}

// The field a head line fills; null for a text line or one that fills nothing.
std::int32_t* NumberField(TipInfo& tip, int line, std::int32_t& discarded)
{
    switch (line) {
    case 0:
        return &discarded;
    case 1:
        return &tip.TypeNo;
    case 2:
        return &tip.LengthMS;
    case 3:
        return &tip.Num3;
    case 4:
        return &tip.Num4;
    case 5:
        return &tip.Num5;
    case 6:
        return &tip.Num6;
    case 10:
        return &tip.Num10;
    default:
        return nullptr;
    }
}

std::string* TextField(TipInfo& tip, int line)
{
    switch (line) {
    case 7:
        return &tip.StartText;
    case 8:
        return &tip.EndText;
    case 9:
        return &tip.UserText;
    default:
        return nullptr;
    }
}

// false when a number line does not fit and the reading must stop.
bool TakeHeadLine(TipInfo& tip, int line, const std::string& text)
{
    std::int32_t discarded = 0;
    if (std::int32_t* number = NumberField(tip, line, discarded)) {
        return ReadNumber(text, *number) != NumberLine::TooLarge;
    }
    if (std::string* field = TextField(tip, line)) {
        *field = text;
    }
    return true;
}

} // namespace

void ClearTipInfo(TipInfo& tip)
{
    tip = TipInfo{};
    if (NumRef > 0) {
        tip.Refs.assign(static_cast<std::size_t>(std::min(NumRef, MaxRefCount)), std::string());
    }
}

std::int32_t ReadTipFile(std::string_view path, TipInfo& tip, std::string_view baseFolder)
{
    ClearTipInfo(tip);

    const bool givenTip = path.size() >= TipExtension.size() &&
                          basic::LowerAscii(path.substr(path.size() - TipExtension.size())) == TipExtension;
    const std::string soundPath(givenTip ? path.substr(0, path.size() - TipExtension.size()) : path);
    const std::string tipPath = givenTip ? std::string(path) : soundPath + std::string(TipExtension);

    if (!baseFolder.empty()) {
        tip.Folder = FolderBelowBase(soundPath, baseFolder);
    } else {
        const std::int32_t server = FindServerIndex(soundPath);
        if (server < 0 || Servers[static_cast<std::size_t>(server)].SaveTip == 0) {
            return 0;
        }
        tip.Folder = std::string(StripSeparators(GetServerRelativePath(server, soundPath), false));
    }

    std::vector<std::uint8_t> bytes;
    std::int64_t size = 0;
    const int read = basic::ReadWholeFileUpTo(bytes, tipPath, MaxTipFileBytes, size);
    if (read == -1) {
        LogRefusedOnce(tipPath, size);
    }
    if (read != 1) {
        return 0;
    }
    std::vector<std::string> lines;
    if (basic::BytesToLines(bytes, lines) == 0) {
        return 0;
    }

    bool inRefs = false;
    int counter = 0;
    for (const std::string& line : lines) {
        if (line == RefMark) {
            inRefs = true;
            counter = 0;
            continue;
        }
        if (!inRefs) {
            if (counter <= LastHeadLine && !TakeHeadLine(tip, counter, line)) {
                return 0;
            }
        } else if (counter < static_cast<int>(tip.Refs.size())) {
            tip.Refs[static_cast<std::size_t>(counter)] = line;
        }
        // Past the last head line or reference the counter only keeps counting.
        counter = std::min(counter + 1, LastHeadLine + MaxRefCount + 1);
    }
    return 1;
}

} // namespace FCT_Quind
