#include "foundation/FileLists.h"

#include "foundation/Folders.h"
#include "foundation/Paths.h"
#include "platform/Files.h"
#include "platform/base/Numbers.h"

#include <algorithm>

namespace basic {

namespace {

// A bind mount can still make a tree endless; no real sound library is deeper.
constexpr int MaxDepth = 64;

struct Filter {
    std::string extension; // lower case with its dot; empty: none
    bool exclude = false;
};

Filter MakeFilter(std::string_view text)
{
    Filter filter;
    if (!text.empty() && text.front() == '!') {
        filter.exclude = true;
        text.remove_prefix(1);
    }
    if (!text.empty()) {
        filter.extension = LowerAscii(text);
        if (filter.extension.front() != '.') {
            filter.extension.insert(0, ".");
        }
    }
    return filter;
}

bool PassesFilter(const std::string& name, const Filter& filter)
{
    if (filter.extension.empty()) {
        return true;
    }
    if (name.size() < filter.extension.size()) {
        return false;
    }
    const bool endsWith = LowerAscii(name).ends_with(filter.extension);
    return filter.exclude ? !endsWith : endsWith;
}

void SortByName(std::vector<platform::FolderEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const platform::FolderEntry& a, const platform::FolderEntry& b) {
        const std::string la = LowerAscii(a.name);
        const std::string lb = LowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
}

void Add(std::vector<std::string>& list, int& index, std::string path)
{
    if (static_cast<std::size_t>(index) >= list.size()) {
        list.resize(static_cast<std::size_t>(index) + 100);
    }
    list[static_cast<std::size_t>(index)] = std::move(path);
    ++index;
}

void Walk(const std::string& folder, const Filter& filter, const std::string& pattern, std::vector<std::string>& list,
          int what, bool recurse, int& index, bool skipRecycleBin, int depth)
{
    std::vector<platform::FolderEntry> entries;
    if (!platform::files::ListFolder(folder, entries)) {
        return;
    }
    SortByName(entries);
    for (const platform::FolderEntry& entry : entries) {
        if (!MatchesWildcard(entry.name, pattern)) {
            continue;
        }
        const std::string path = folder + entry.name;
        if (entry.kind == platform::FileKind::Folder) {
            if (recurse && !entry.isLink && depth < MaxDepth &&
                !(skipRecycleBin && IsRecycleBinPath(path + "/") != 0)) {
                Walk(path + "/", filter, pattern, list, what, recurse, index, skipRecycleBin, depth + 1);
            }
            if (what >= ListFilesAndFolders) {
                Add(list, index, path);
            }
        } else if (entry.kind == platform::FileKind::File && what < ListFoldersOnly &&
                   PassesFilter(entry.name, filter)) {
            Add(list, index, path);
        }
    }
}

bool Less(const std::string& a, const std::string& b, bool numericOrder)
{
    if (numericOrder) {
        return numeric::ParseNumber(a).value_or(0.0) < numeric::ParseNumber(b).value_or(0.0);
    }
    return LowerAscii(a) < LowerAscii(b);
}

} // namespace

bool MatchesWildcard(std::string_view name, std::string_view pattern)
{
    if (pattern == "*" || pattern == "*.*") {
        return true;
    }
    const std::string n = LowerAscii(name);
    const std::string p = LowerAscii(pattern);
    // Iterative matching with one back-tracking point per "*".
    std::size_t ni = 0;
    std::size_t pi = 0;
    std::size_t star = std::string::npos;
    std::size_t resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++ni;
            ++pi;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            resume = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') {
        ++pi;
    }
    return pi == p.size();
}

int ListFiles(std::string_view folder, std::string_view filter, std::vector<std::string>& list, int what, int recurse,
              int sort, int start, int skipRecycleBin)
{
    const std::string base = FixTrailingSeparator(folder, 0);
    if (start < 0 || base.empty() || FolderExists(base) == 0 || (skipRecycleBin != 0 && IsRecycleBinPath(base) != 0)) {
        return start;
    }
    const Filter parsed = MakeFilter(filter);
    const bool plainPattern = parsed.extension.empty() || recurse != 0 || parsed.exclude;
    const std::string pattern = plainPattern ? "*.*" : "*" + parsed.extension;
    int index = start;
    Walk(base, parsed, pattern, list, what, recurse != 0, index, skipRecycleBin != 0, 0);
    if (index == 0) {
        list.assign(1, std::string());
        return 0;
    }
    list.resize(static_cast<std::size_t>(index));
    if (index > 1 && (sort == 1 || sort == 2)) {
        ShellSortStrings(list, sort == 2 ? 1 : 0, 0);
    }
    return index;
}

void ShellSortStrings(std::vector<std::string>& list, int descending, int numeric)
{
    const std::size_t count = list.size();
    if (count > 1) {
        const std::size_t upper = count - 1;
        std::size_t h = 1;
        while (h <= upper) {
            h = 3 * h + 1;
        }
        do {
            h = static_cast<std::size_t>(numeric::RoundHalfEven(static_cast<double>(h) / 3.0));
            for (std::size_t i = h; i < count && h > 0; ++i) {
                std::string value = std::move(list[i]);
                std::size_t j = i;
                while (j >= h && Less(value, list[j - h], numeric != 0)) {
                    list[j] = std::move(list[j - h]);
                    j -= h;
                }
                list[j] = std::move(value);
            }
        } while (h > 0);
    }
    if (descending != 0) {
        std::reverse(list.begin(), list.end());
    }
}

} // namespace basic
