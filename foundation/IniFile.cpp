#include "foundation/IniFile.h"

#include "foundation/Conversions.h"
#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "foundation/RefusedSaves.h"
#include "platform/ProfileFile.h"
#include "platform/TextLines.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/TextCodec.h"

#include <map>
#include <optional>

namespace basic {

namespace {

// What the old profile call was given as its default, so a missing key can be
// told from a present one.
constexpr std::string_view MissingMark = "ISDEFAULT";
constexpr std::string_view EmptyMark = "***";

std::string FileOrDefault(std::string_view file)
{
    return file.empty() ? AppPath() + App::Title + ".ini" : std::string(file);
}

std::string_view SectionOrDefault(std::string_view section)
{
    return section.empty() ? std::string_view("conf") : section;
}

// The refusal last logged for each file this run: a line for each of the
// settings a start saves would bury the rest of the log.
std::map<std::string, std::string> toldRefusals;

} // namespace

std::string IniRead(std::string_view key, const VariantText& defaultValue, std::string_view file,
                    std::string_view section, int writeBack)
{
    const std::string path = FileOrDefault(file);
    const std::string_view sectionName = SectionOrDefault(section);
    const std::optional<std::string> stored = platform::ReadProfileString(path, sectionName, key);
    const std::string value =
        stored ? std::string(textcodec::Utf8Left(TrimNul(*stored), IniValueLimit)) : std::string(MissingMark);
    if (value == MissingMark) {
        if (writeBack == 1) {
            IniWrite(key, defaultValue, path, sectionName);
        }
        return defaultValue.Text();
    }
    return value == EmptyMark ? std::string() : value;
}

void IniWrite(std::string_view key, const VariantText& value, std::string_view file, std::string_view section)
{
    const std::string path = FileOrDefault(file);
    const std::string_view text = value.Text().empty() ? EmptyMark : std::string_view(value.Text());
    if (!textcodec::IsValidUtf8(text)) {
        // A value read from a line with a stray byte and written back as it
        // was: the line already holds it.
        if (platform::ReadProfileString(path, SectionOrDefault(section), key) != text) {
            WriteLog("IniWrite " + std::string(key) + ": " + textcodec::NotUtf8Note(path, text), 1, 0);
            NoteRefusedSetting(key, text, path, nullptr);
        }
        return;
    }
    const platform::FileUpdate update = platform::WriteProfileString(path, SectionOrDefault(section), key, text);
    // A file that takes no change refuses every save alike: said once, until
    // the reason changes or the file takes a change. A value it already
    // holds is no change.
    const bool filesOwn = update.refused && update.failure.ends_with(platform::TakesNoChange);
    std::string& told = toldRefusals[path];
    if (!update.ok && !(filesOwn && told == update.failure)) {
        WriteLog("IniWrite " + std::string(key) + ": " + update.failure, 1, 0);
    }
    if (filesOwn || update.changed) {
        told = filesOwn ? update.failure : std::string();
    }
    if (!update.ok) {
        NoteRefusedSetting(key, text, path, &update);
    } else if (update.nowUtf8) {
        WriteLog("IniWrite " + std::string(key) + ": " + textcodec::WentOverToUtf8Note(path, update.whyUtf8), 1, 0);
    }
}

} // namespace basic
