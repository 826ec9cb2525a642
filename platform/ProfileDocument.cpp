#include "platform/ProfileDocument.h"

#include "platform/AsciiCase.h"
#include "platform/TrimBlanks.h"
#include "platform/base/TextCodec.h"

#include <utility>

namespace platform {

namespace {

// A header line's section name, or nothing for any other line. A header
// without its closing bracket names the rest of the line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = TrimBlanks(line);
    if (!line.starts_with('[')) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return TrimBlanks(close == std::string_view::npos ? line : line.substr(0, close));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || TrimBlanks(line).starts_with('[')) {
        return std::nullopt;
    }
    return Entry{TrimBlanks(line.substr(0, equals)), TrimBlanks(line.substr(equals + 1))};
}

bool InMatchingQuotes(std::string_view value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

std::string_view Unquoted(std::string_view value)
{
    return InMatchingQuotes(value) ? value.substr(1, value.size() - 2) : value;
}

// The value as it must stand on its line to read back unchanged: reading
// trims blanks and drops one pair of matching quotes, so a value that would
// lose either goes inside one more pair of double quotes.
std::string AsStored(std::string value)
{
    if (TrimBlanks(value).size() != value.size() || InMatchingQuotes(value)) {
        return '"' + value + '"';
    }
    return value;
}

bool HoldsLineBreakOrNul(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

ProfileDocument::SectionSpan ProfileDocument::FindSection(std::string_view section) const
{
    SectionSpan span;
    for (std::size_t i = 0; i < lines.Count(); ++i) {
        const std::optional<std::string_view> name = SectionName(lines.Text(i));
        if (!name) {
            continue;
        }
        if (span.found) {
            span.end = i;
            return span;
        }
        if (EqualsIgnoringCase(*name, section)) {
            span.found = true;
            span.header = i;
        }
    }
    span.end = lines.Count();
    return span;
}

std::optional<std::string> ProfileDocument::Find(std::string_view section, std::string_view key) const
{
    const SectionSpan span = FindSection(TrimBlanks(section));
    if (!span.found) {
        return std::nullopt;
    }
    key = TrimBlanks(key);
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const std::optional<Entry> entry = EntryOf(lines.Text(i));
        if (entry && EqualsIgnoringCase(entry->key, key)) {
            return std::string(Unquoted(entry->value));
        }
    }
    return std::nullopt;
}

bool ProfileDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    section = TrimBlanks(section);
    key = TrimBlanks(key);
    if (section.empty() || key.empty() || section.find(']') != std::string_view::npos || HoldsLineBreakOrNul(section) ||
        key.find('=') != std::string_view::npos || key.starts_with('[') || HoldsLineBreakOrNul(key) ||
        !textcodec::IsValidUtf8(section) || !textcodec::IsValidUtf8(key) || !textcodec::IsValidUtf8(value)) {
        return false;
    }
    std::string plainValue(value.substr(0, value.find('\0')));
    for (char& c : plainValue) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const std::string cleanValue = AsStored(std::move(plainValue));

    const SectionSpan span = FindSection(section);
    if (!span.found) {
        return lines.Insert(lines.Count(), "[" + std::string(section) + "]") &&
               lines.Insert(lines.Count(), std::string(key) + "=" + cleanValue);
    }
    std::size_t afterLastEntry = span.header + 1;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const std::optional<Entry> entry = EntryOf(lines.Text(i));
        if (!entry) {
            continue;
        }
        if (EqualsIgnoringCase(entry->key, key)) {
            if (entry->value == cleanValue) {
                return true; // already so: the line stays byte for byte
            }
            // The stored spelling of the key stays.
            return lines.Replace(i, std::string(entry->key) + "=" + cleanValue);
        }
        afterLastEntry = i + 1;
    }
    return lines.Insert(afterLastEntry, std::string(key) + "=" + cleanValue);
}

} // namespace platform
