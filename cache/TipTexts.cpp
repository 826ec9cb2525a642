#include "cache/TipTexts.h"

#include "cache/TipFile.h"
#include "foundation/FileAccess.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "foundation/SharedConf.h"
#include "foundation/TimeStamps.h"

#include <utility>

namespace cache {

namespace {

constexpr int DateOnly = 1;
constexpr int DateAndTime = 3;

// The colour of a type index, and of the first type for an index the shared
// configuration does not have.
platform::Color TypeColorOf(std::int32_t typeNo)
{
    const bool known = typeNo >= 0 && typeNo < FCT_Quind::TypeCount;
    return FCT_Quind::TypeColors[static_cast<std::size_t>(known ? typeNo : 0)];
}

std::string TypeNameOf(std::int32_t typeNo)
{
    const bool known = typeNo >= 0 && typeNo < FCT_Quind::TypeCount;
    return known ? FCT_Quind::TypeNames[static_cast<std::size_t>(typeNo)] : std::string();
}

std::string DateText(const std::string& digits)
{
    return basic::FormatDateJapanese(digits, 0, FCT_Quind::UseTime != 0 ? DateAndTime : DateOnly);
}

// The shown texts in order: the five fields, then the references.
std::vector<std::string> ShownTexts(const FCT_Quind::TipInfo& tip, const TipDisplay& display)
{
    std::vector<std::string> shown;
    for (std::size_t field = 0; field < display.DispIt.size(); ++field) {
        if (display.DispIt[field] != 1) {
            continue;
        }
        switch (field) {
        case 0:
            shown.push_back(tip.Folder);
            break;
        case 1:
            shown.push_back(TypeNameOf(tip.TypeNo));
            break;
        case 2:
            shown.push_back(DateText(tip.StartText));
            break;
        case 3:
            shown.push_back(DateText(tip.EndText));
            break;
        default:
            shown.push_back(tip.UserText);
            break;
        }
    }
    for (std::size_t ref = 0; ref < display.DispItRef.size(); ++ref) {
        if (display.DispItRef[ref] == 1) {
            shown.push_back(ref < tip.Refs.size() ? tip.Refs[ref] : std::string());
        }
    }
    return shown;
}

std::size_t ShownCount(const TipDisplay& display)
{
    std::size_t count = 0;
    for (const std::int32_t on : display.DispIt) {
        count += on == 1 ? 1 : 0;
    }
    for (const std::int32_t on : display.DispItRef) {
        count += on == 1 ? 1 : 0;
    }
    return count;
}

} // namespace

TipTexts::TipTexts(Sources sources) : sources_(std::move(sources)) {}

bool TipTexts::ReadTip(std::string_view path, FCT_Quind::TipInfo& tip) const
{
    const std::string local = sources_.LocalFilename ? sources_.LocalFilename(path) : std::string();
    if (!local.empty() && basic::FileExists(local) != 0) {
        return FCT_Quind::ReadTipFile(local, tip, FCT_Quind::LocalPath) == 1;
    }
    if (sources_.SomethingPlays && sources_.SomethingPlays()) {
        return false;
    }
    return FCT_Quind::ReadTipFile(path, tip, "") == 1;
}

std::int32_t TipTexts::GetTipInfo(std::string_view path, std::vector<std::string>& texts, std::int32_t mode)
{
    const TipDisplay display = sources_.Display ? sources_.Display() : TipDisplay{};
    if (display.GetTip == 0) {
        return 0;
    }
    texts.assign(mode == 0 ? ShownCount(display) + 1 : 2, std::string());
    texts.back() = std::to_string(TypeColorOf(0));

    const std::string key = basic::LowerAscii(path);
    const FCT_Quind::TipInfo* tip = memory_.Find(key);
    if (tip == nullptr) {
        FCT_Quind::TipInfo read;
        if (!ReadTip(path, read)) {
            return 0;
        }
        memory_.Store(key, std::move(read));
        tip = memory_.Find(key);
    }

    const std::vector<std::string> shown = ShownTexts(*tip, display);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (mode == 0) {
            texts[i] = shown[i];
        } else if (!shown[i].empty()) {
            texts[0] += "[" + shown[i] + "]";
        }
    }
    texts.back() = std::to_string(TypeColorOf(tip->TypeNo));
    return 1;
}

} // namespace cache
