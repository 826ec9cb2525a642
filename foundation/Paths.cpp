#include "foundation/Paths.h"

#include "foundation/FileAccess.h"
#include "platform/AsciiCase.h"
#include "platform/base/Numbers.h"

namespace basic {

namespace {

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool IsHttp(std::string_view path)
{
    return path.size() > 3 && LowerAscii(path.substr(0, 4)) == "http";
}

// The separator a path already uses (its last one), "/" when it has none.
char SeparatorOf(std::string_view path)
{
    const std::size_t at = path.find_last_of("/\\");
    return at == std::string_view::npos ? '/' : path[at];
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && LowerAscii(text.substr(text.size() - tail.size())) == LowerAscii(tail);
}

std::string_view TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string LowerAscii(std::string_view text)
{
    return platform::AsciiLower(text);
}

std::string UpperAscii(std::string_view text)
{
    return platform::AsciiUpper(text);
}

std::string SystemFolder()
{
    return "/usr/bin/";
}

std::string FixTrailingSeparator(std::string_view path, int mode)
{
    if (TrimBlanks(path).empty()) {
        return {};
    }
    const bool http = IsHttp(path);
    const char last = path.back();
    const bool endsWithSeparator = http ? last == '/' : IsSeparator(last);
    if (mode == 0) {
        return endsWithSeparator ? std::string(path) : std::string(path) + (http ? '/' : SeparatorOf(path));
    }
    return std::string(endsWithSeparator ? path.substr(0, path.size() - 1) : path);
}

std::string EnsureExtension(std::string_view name, std::string_view extension)
{
    const std::string_view ext = TrimBlanks(extension);
    if (name.empty()) {
        return {};
    }
    if (ext.empty()) {
        return std::string(name);
    }
    const std::string dotted = ext.front() == '.' ? std::string(ext) : "." + std::string(ext);
    return EndsWithIgnoringCase(name, dotted) ? std::string(name) : std::string(name) + LowerAscii(dotted);
}

std::string GetPathPart(std::string_view path, int folder, int separator, int base, int dot, int extension,
                        int caseMode)
{
    if (path.empty()) {
        return {};
    }
    const std::size_t cut = path.find_last_of("/\\");
    const std::string_view folderPart = cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
    const char separatorChar = cut == std::string_view::npos ? '/' : path[cut];
    const std::string_view fileName = cut == std::string_view::npos ? path : path.substr(cut + 1);
    const std::size_t dotAt = fileName.rfind('.');
    const std::string_view basePart = dotAt == std::string_view::npos ? fileName : fileName.substr(0, dotAt);
    const std::string_view extPart = dotAt == std::string_view::npos ? std::string_view() : fileName.substr(dotAt + 1);

    std::string result;
    if (folder != 0) {
        result += folderPart;
    }
    if (separator != 0) {
        result += separatorChar;
    }
    if (base != 0) {
        result += basePart;
    }
    if (dot != 0 && dotAt != std::string_view::npos) {
        result += '.';
    }
    if (extension != 0) {
        result += extPart;
    }
    if (caseMode == 1) {
        return LowerAscii(result);
    }
    if (caseMode == 2) {
        return UpperAscii(result);
    }
    return result;
}

std::string MakeNumberedFileName(std::string_view path, int withFolder, int withExtension, int width, int always)
{
    // A bare file name stays in its (current) folder: its folder part is "",
    // never a lone separator, which would name the root.
    const bool hasFolder = path.find_first_of("/\\") != std::string_view::npos;
    const std::string folder = hasFolder ? GetPathPart(path, 1, 1, 0, 0, 0, 0) : std::string();
    const std::string base = GetPathPart(path, 0, 0, 1, 0, 0, 0);
    const std::string dotExt = GetPathPart(path, 0, 0, 0, 1, 1, 0);
    const std::string shownFolder = withFolder != 0 ? folder : std::string();
    const std::string shownExt = withExtension != 0 ? dotExt : std::string();
    if (always == 0 && FileExists(path) == 0) {
        return shownFolder + base + shownExt;
    }
    const int digits = width < 0 ? 0 : (width > 18 ? 18 : width);
    std::string number;
    for (long long n = 1;; ++n) {
        number = numeric::ZeroPadded(n, digits);
        if (FileExists(folder + base + number + dotExt) == 0 || n >= 99'999'999) {
            break;
        }
    }
    return shownFolder + base + number + shownExt;
}

std::string MakeFieldSafe(std::string_view text)
{
    static constexpr std::string_view fullWidthComma = "\xEF\xBC\x8C"; // ，
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (text.substr(i, fullWidthComma.size()) == fullWidthComma) {
            result += '.';
            i += fullWidthComma.size() - 1;
            continue;
        }
        switch (c) {
        case '\r':
        case '\n':
        case '\0':
        case '\t':
        case '\b':
            break;
        case '"':
            result += "\xE2\x80\x9D"; // ”
            break;
        case ',':
            result += '.';
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace basic
