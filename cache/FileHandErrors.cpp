#include "cache/FileHandErrors.h"

#include <array>
#include <string_view>

namespace cache::filehand {

std::string ErrorCodeText(std::int32_t code)
{
    static constexpr std::array<std::string_view, 15> texts{
        "正常終了",
        "ユーザーによりキャンセルされました",
        "転送先フォルダを作成できません",
        "転送一時ファイル名を作成できません",
        "転送元ファイルが存在しません",
        "転送先ファイルを削除できません",
        "サイズゼロのファイルコピーができません",
        "転送元ファイルから読み込みできません",
        "転送先ファイルに書き込みできません",
        "一時ファイル転送後に転送先ファイルを削除できません",
        "転送先ファイルがすでに存在します",
        "一時ファイルを転送先ファイル名に変更できません",
        "転送元ファイルを削除できません",
        "ループエラー1",
        "ループエラー2",
    };
    if (code < 0 || code >= static_cast<std::int32_t>(texts.size())) {
        return {};
    }
    return std::string(texts[static_cast<std::size_t>(code)]);
}

} // namespace cache::filehand
