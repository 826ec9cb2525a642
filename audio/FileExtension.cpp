#include "audio/FileExtension.h"

#include <cctype>

namespace audiofile {

std::string LowerExtension(std::string_view fileName)
{
    const std::size_t separator = fileName.find_last_of("/\\");
    const std::string_view name = separator == std::string_view::npos ? fileName : fileName.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return "";
    }
    std::string extension(name.substr(dot + 1));
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension;
}

} // namespace audiofile
