#include "platform/RegistryKeyDocument.h"

#include "platform/AsciiCase.h"
#include "platform/TrimBlanks.h"
#include "platform/base/Numbers.h"

#include <array>
#include <utility>

namespace platform {

namespace {

using numeric::HexDigitValue;

// The characters an escape may stand for; "%" followed by anything else is a
// plain "%".
constexpr std::array<char, 9> Escapable = {'%', '\n', '\r', '\0', '=', ' ', '\t', '#', ';'};

std::string EscapeOf(char c)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto byte = static_cast<unsigned char>(c);
    return {'%', hex[byte >> 4], hex[byte & 0x0F]};
}

bool IsEscapable(char c)
{
    for (const char e : Escapable) {
        if (e == c) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string RegistryKeyDocument::EscapeValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '%' || c == '\n' || c == '\r' || c == '\0') {
            out += EscapeOf(c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string RegistryKeyDocument::EscapeName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool atEdge = i == 0 || i + 1 == name.size();
        const bool blank = c == ' ' || c == '\t';
        if (c == '%' || c == '\n' || c == '\r' || c == '\0' || c == '=' || (atEdge && blank) ||
            (i == 0 && (c == '#' || c == ';'))) {
            out += EscapeOf(c);
        } else {
            out += c;
        }
    }
    return out;
}

std::string RegistryKeyDocument::Unescape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 &&
            HexDigitValue(text[i + 2]) >= 0) {
            const char decoded = static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
            if (IsEscapable(decoded)) {
                out += decoded;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::optional<RegistryKeyDocument::Entry> RegistryKeyDocument::EntryOf(std::string_view line)
{
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.starts_with('#') || trimmed.starts_with(';')) {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return Entry{Unescape(TrimBlanks(line.substr(0, equals))), Unescape(line.substr(equals + 1))};
}

std::optional<std::string> RegistryKeyDocument::Find(std::string_view name) const
{
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        std::optional<Entry> entry = EntryOf(lines.Text(i));
        if (entry && EqualsIgnoringCase(entry->name, name)) {
            return std::move(entry->value);
        }
    }
    return std::nullopt;
}

bool RegistryKeyDocument::Set(std::string_view name, std::string_view value)
{
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        const std::optional<Entry> entry = EntryOf(lines.Text(i));
        if (entry && EqualsIgnoringCase(entry->name, name)) {
            if (entry->value == value) {
                return true; // already so: the line stays byte for byte
            }
            // The stored spelling of the name stays.
            return lines.Replace(i, EscapeName(entry->name) + "=" + EscapeValue(value));
        }
    }
    return lines.Insert(lines.Count(), EscapeName(name) + "=" + EscapeValue(value));
}

bool RegistryKeyDocument::Remove(std::string_view name)
{
    for (std::size_t i = lines.Count(); i-- > 0;) {
        const std::optional<Entry> entry = EntryOf(lines.Text(i));
        if (entry && EqualsIgnoringCase(entry->name, name) && !lines.Erase(i)) {
            return false;
        }
    }
    return true;
}

} // namespace platform
