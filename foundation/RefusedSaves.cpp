#include "foundation/RefusedSaves.h"

#include "foundation/DayLog.h"
#include "foundation/Language.h"
#include "platform/LockedFileUpdate.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"

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
    case RefusalReason::ByteOrder:
        return inLanguage(file + " のバイト順を判別できないため、保存できません。",
                          "The byte order of " + file + " cannot be told, so nothing is saved into it.");
    case RefusalReason::NotWritten:
        break;
    }
    const std::string detail = refusal.detail.empty() ? std::string() : " (" + refusal.detail + ")";
    return inLanguage(file + " に書き込めませんでした" + detail + "。", file + " could not be written" + detail + ".");
}

// What the operator is told once of a file whose byte order cannot be told,
// and how to mend it.
std::string ByteOrderUntold(const std::string& file)
{
    return LangText(
        Quoted(file) + " は UTF-16 のようにゼロのバイトを含みますが、どちらのバイト順でも設定の行として読めないため、"
                       "バイト順を判別できません。ファイルは何も変えずにそのまま残します。エディタで開き、バイトオーダーマーク"
                       "（BOM）付きの UTF-16 か、UTF-8 で保存し直してください。",
        "The byte order of " + Quoted(file) +
            " cannot be told: it holds zero bytes, as UTF-16 does, but reads as settings lines in neither byte "
            "order, so no value is saved into it, and it is left as it is. To mend it, open it in an editor and save "
            "it with a byte order mark (UTF-16 with BOM), or as UTF-8.");
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
    // A file whose byte order cannot be told is explained with the first of
    // its values shown, or after them where none is.
    std::vector<std::string> explained;
    const auto explainedOnce = [&explained](const RefusedSave& refusal) {
        const bool first = refusal.reason == RefusalReason::ByteOrder &&
                           std::find(explained.begin(), explained.end(), refusal.file) == explained.end();
        if (first) {
            explained.push_back(refusal.file);
        }
        return first;
    };
    const std::size_t shown = std::min(list_.size(), MostShown);
    for (std::size_t i = 0; i < shown; ++i) {
        const RefusedSave& refusal = list_[i];
        // A byte that is no text shows as its value, as the log shows it.
        text += "\r\n\r\n";
        if (!refusal.what.empty()) {
            text += textcodec::ShowingStrayBytes(refusal.what) + "\r\n";
        }
        text += explainedOnce(refusal) ? ByteOrderUntold(refusal.file) : Reason(refusal, false);
    }
    for (std::size_t i = shown; i < list_.size(); ++i) {
        if (explainedOnce(list_[i])) {
            text += "\r\n\r\n" + ByteOrderUntold(list_[i].file);
        }
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
        const bool orderUntold = update->failure.find(textcodec::ByteOrderUntold) != std::string::npos;
        refusal.reason = !update->refused ? RefusalReason::NotWritten
                         : orderUntold    ? RefusalReason::ByteOrder
                                          : RefusalReason::Encoding;
        refusal.detail = update->refused ? std::string() : update->failure;
    }
    NoteRefusedSave(std::move(refusal));
}

} // namespace basic
