#include "foundation/RefusedSaves.h"

#include "foundation/Language.h"
#include "platform/LockedFileUpdate.h"
#include "platform/base/TextCodec.h"

namespace basic {

namespace {

thread_local RefusedSaves* collector = nullptr;

std::string Quoted(std::string_view file)
{
    return "\"" + std::string(file) + "\"";
}

std::string Reason(const RefusedSave& refusal)
{
    const std::string file = Quoted(refusal.file);
    switch (refusal.reason) {
    case RefusalReason::NotText:
        return LangText("値に文字として読めないバイトがあり、" + file + " に保存できません。",
                        "The value holds bytes that are no text; " + file + " cannot hold it.");
    case RefusalReason::Encoding:
        return LangText(file +
                            " の文字コードではこの値を安全に保存できません（次に読むときに別の文字として読まれます）。",
                        "The character encoding of " + file +
                            " cannot take this value safely: the file would read back otherwise next time.");
    case RefusalReason::NotWritten:
        break;
    }
    const std::string detail = refusal.detail.empty() ? std::string() : " (" + refusal.detail + ")";
    return LangText(file + " に書き込めませんでした" + detail + "。", file + " could not be written" + detail + ".");
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
    std::string text(heading);
    for (const RefusedSave& refusal : list_) {
        // A byte that is no text shows as its value, as the log shows it.
        text += "\r\n\r\n";
        if (!refusal.what.empty()) {
            text += textcodec::ShowingStrayBytes(refusal.what) + "\r\n";
        }
        text += Reason(refusal);
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
