#include "foundation/Fonts.h"

#include "platform/FontCreation.h"
#include "platform/base/Numbers.h"
#include "platform/base/TextCodec.h"
#include "platform/base/Twips.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <span>

namespace basic {

std::string UIFontFace;

namespace {

std::vector<FontCacheEntry> fontCache;

constexpr std::string_view defaultFace = "ＭＳ Ｐゴシック";
constexpr std::string_view tallFace = "メイリオ";
constexpr float defaultSize = 9.0f;

std::string_view TrimSpaces(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The face as the 32-byte face field of a font request holds it: code page
// 932 bytes, at most 31 of them, never half a double-byte character.
std::string FaceField(std::string_view faceName)
{
    const std::string bytes = textcodec::EncodeCp932(TrimSpaces(faceName));
    constexpr std::size_t fieldBytes = 31;
    std::size_t kept = 0;
    while (kept < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[kept]);
        const std::size_t length = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
        if (kept + length > fieldBytes || kept + length > bytes.size()) {
            break;
        }
        kept += length;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return textcodec::DecodeCp932(std::span(data, kept));
}

int FindFont(float size, bool bold, bool italic, std::string_view faceName)
{
    for (std::size_t i = 0; i < fontCache.size(); ++i) {
        const FontCacheEntry& entry = fontCache[i];
        if (entry.FaceName == faceName && entry.Size == size && entry.Bold == bold && entry.Italic == italic) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

} // namespace

const std::vector<FontCacheEntry>& FontCache()
{
    return fontCache;
}

int FontCount()
{
    return static_cast<int>(fontCache.size());
}

int MakeFont(float size, bool bold, bool italic, std::string_view faceName)
{
    const int p = TwipsPerPixel;
    if (p <= 0) {
        return 0;
    }
    const double factor = faceName == tallFace ? 1.34 : 1.0;
    const double height = numeric::RoundHalfEven(static_cast<double>(size) * 20.0 * factor / p);
    if (!(std::abs(height) <= INT32_MAX)) {
        return 0; // also NaN: no font of that size
    }
    platform::LogicalFont request;
    request.height = static_cast<int>(height);
    request.weight = bold ? static_cast<int>(numeric::RoundToInt64(15.0 / p * 700.0)) : 0;
    request.italic = italic;
    request.charSet = faceName == "Impact" ? 0 : 128;
    request.faceName = FaceField(faceName);
    platform::FontHandle handle = platform::CreateFontIndirect(request);
    if (handle == nullptr) {
        return 0;
    }
    fontCache.push_back(
        {std::move(handle), size, bold, italic, std::string(faceName), static_cast<float>(1.0 / factor)});
    return 1;
}

int SetControlFont(platform::FontWindow window, int fontIndex, const FontedControl* control, float size, bool bold,
                   bool italic, std::string_view faceName)
{
    if (fontIndex < -2) {
        return -3;
    }
    if (UIFontFace.empty()) {
        UIFontFace = defaultFace;
    }
    if (fontCache.empty() && MakeFont(defaultSize, false, false, UIFontFace) == 0) {
        return -3;
    }
    std::string face(faceName);
    if (fontIndex == -1) {
        if (control == nullptr) {
            return -3;
        }
        size = control->FontSize();
        bold = control->FontBold();
        italic = control->FontItalic();
        face = control->FontName();
        window = control->FontWindow();
    }
    if (face.empty()) {
        face = UIFontFace;
    }
    if (!(size > 0)) {
        size = defaultSize;
    }
    if (fontIndex < 0) {
        fontIndex = FindFont(size, bold, italic, face);
        if (fontIndex < 0) {
            if (MakeFont(size, bold, italic, face) == 0) {
                return -3;
            }
            fontIndex = FontCount() - 1;
        }
    }
    if (fontIndex >= FontCount() || fontCache[static_cast<std::size_t>(fontIndex)].Handle == nullptr) {
        return -3;
    }
    window.SendSetFont(fontCache[static_cast<std::size_t>(fontIndex)].Handle);
    return fontIndex;
}

void FreeFont()
{
    fontCache.clear();
}

} // namespace basic
