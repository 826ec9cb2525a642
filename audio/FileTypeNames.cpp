#include "audio/FileTypeNames.h"

#include "foundation/Paths.h"

#include <array>
#include <cstdlib>

namespace FCT_AudioInf {

namespace {

struct TypeName {
    std::string_view Extension;
    std::string_view Japanese;
    std::string_view English;
};

constexpr std::array<TypeName, 20> TypeNames{{
    {"wav", "WAVE サウンド", "Wave Sound"},
    {"mp1", "MPEG レイヤー 1 オーディオ", "MPEG Layer 1 Audio"},
    {"mp2", "MPEG レイヤー 2 オーディオ", "MPEG Layer 2 Audio"},
    {"mp3", "MP3 オーディオ", "MP3 Audio"},
    {"mpg", "MPEG ムービー", "MPEG Movie"},
    {"mpeg", "MPEG ムービー", "MPEG Movie"},
    {"mid", "MIDI シーケンス", "MIDI Sequence"},
    {"asf", "ASF メディア", "ASF Media"},
    {"au", "AU サウンド", "AU Sound"},
    {"snd", "AU サウンド", "AU Sound"},
    {"aif", "AIFF サウンド", "AIFF Sound"},
    {"aiff", "AIFF サウンド", "AIFF Sound"},
    {"wma", "WMA オーディオ", "WMA Audio"},
    {"wmv", "WMV ビデオ", "WMV Video"},
    {"m4a", "MPEG-4 オーディオ", "MPEG-4 Audio"},
    {"aac", "AAC オーディオ", "AAC Audio"},
    {"txt", "テキスト ドキュメント", "Text Document"},
    {"ini", "構成設定", "Configuration Settings"},
    {"tip", "ヒント ファイル", "Tip File"},
    {"log", "ログ ファイル", "Log File"},
}};

// The desktop's language, as the locale variables give it (the first set one
// of LC_ALL, LC_MESSAGES and LANG).
bool DesktopSpeaksJapanese()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("ja");
        }
    }
    return false;
}

} // namespace

std::string FileTypeNameFor(std::string_view extension, bool japanese)
{
    for (const TypeName& entry : TypeNames) {
        if (entry.Extension == extension) {
            return std::string(japanese ? entry.Japanese : entry.English);
        }
    }
    if (extension.empty()) {
        return japanese ? "ファイル" : "File";
    }
    return basic::UpperAscii(extension) + (japanese ? " ファイル" : " File");
}

std::string GetFileTypeName(std::string_view fileName)
{
    return FileTypeNameFor(basic::GetPathPart(fileName, 0, 0, 0, 0, 1, 1), DesktopSpeaksJapanese());
}

} // namespace FCT_AudioInf
