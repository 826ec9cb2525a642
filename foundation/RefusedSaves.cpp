#include "foundation/RefusedSaves.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "platform/LockedFileUpdate.h"
#include "platform/base/TextCodec.h"

#include <algorithm>

namespace basic {

namespace {

thread_local RefusedSaves* collector = nullptr;

// A file that takes no change at all refuses every value: the box names the
// first few and counts the rest, which the log names.
constexpr std::size_t MostShown = 5;

std::string Quoted(std::string_view file)
{
    return "\"" + std::string(file) + "\"";
}

std::string Reason(const RefusedSave& refusal, bool english)
{
    const std::string file = Quoted(refusal.file);
    const auto inLanguage = [english](const std::string& japanese, const std::string& inEnglish) {
        return english ? inEnglish : LangText(japanese, inEnglish);
    };
    switch (refusal.reason) {
    case RefusalReason::NotText:
        return inLanguage("値に文字として読めないバイトがあり、" + file + " に保存できません。",
                          "The value holds bytes that are no text; " + file + " cannot hold it.");
    case RefusalReason::Encoding:
        return inLanguage(file +
                              " の文字コードではこの値を安全に保存できません（次に読むときに別の文字として読まれます）。",
                          "The character encoding of " + file +
                              " cannot take this value safely: the file would read back otherwise next time.");
    case RefusalReason::NotWritten:
        break;
    }
    const std::string detail = refusal.detail.empty() ? std::string() : " (" + refusal.detail + ")";
    return inLanguage(file + " に書き込めませんでした" + detail + "。", file + " could not be written" + detail + ".");
}

// The log line of a value the operator is told of: where the writer logged
// it already, a file that refuses every value alike was logged once, and a
// box that points to the log must find each value there.
void LogShown(const RefusedSave& refusal)
{
    const std::string what = refusal.what.empty() ? std::string("the file") : refusal.what;
    WriteLog("Not saved, as the operator was told: " + what + ": " + Reason(refusal, true), 1, 1);
}

} // namespace

RefusedSaves::RefusedSaves() : outer_(collector)
{
    collector = this;
}

RefusedSaves::~RefusedSaves()
{
    collector = outer_;
}

std::string RefusedSaves::Text(std::string_view heading) const
{
    for (const RefusedSave& refusal : list_) {
        LogShown(refusal);
    }
    std::string text(heading);
    const std::size_t shown = std::min(list_.size(), MostShown);
    for (std::size_t i = 0; i < shown; ++i) {
        const RefusedSave& refusal = list_[i];
        // A byte that is no text shows as its value, as the log shows it.
        text += "\r\n\r\n";
        if (!refusal.what.empty()) {
            text += textcodec::ShowingStrayBytes(refusal.what) + "\r\n";
        }
        text += Reason(refusal, false);
    }
    if (list_.size() > shown) {
        const std::string more = std::to_string(list_.size() - shown);
        text += "\r\n\r\n" + LangText("ほか " + more + " 件（ログに記録されています）",
                                      "and " + more + " more (the log names them)");
    }
    return text;
}

void NoteRefusedSave(RefusedSave refusal)
{
    if (collector != nullptr) {
        collector->list_.push_back(std::move(refusal));
    }
}

void NoteRefusedSetting(std::string_view key, std::string_view value, std::string file,
                        const platform::FileUpdate* update)
{
    RefusedSave refusal{std::string(key) + "=" + std::string(value), std::move(file), RefusalReason::NotText, {}};
    if (update != nullptr) {
        refusal.reason = update->refused ? RefusalReason::Encoding : RefusalReason::NotWritten;
        refusal.detail = update->refused ? std::string() : update->failure;
    }
    NoteRefusedSave(std::move(refusal));
}

} // namespace basic
