#include "playback/AssignFileFormat.h"

#include "foundation/DayLog.h"
#include "foundation/Paths.h"
#include "mainwindow/MainState.h"
#include "platform/base/Utf16Text.h"
#include "playback/AssignLine.h"
#include "playback/AssignPaths.h"

#include <algorithm>
#include <initializer_list>

namespace playback {

namespace {

bool InTables(const AssignLine& line)
{
    if (line.Output < 0 || line.Output >= AssignOutputs || line.Page < 0 || line.Page >= AssignPages) {
        return false;
    }
    if (line.Kind == LineButton) {
        return line.Item >= 0 && line.Item < AssignButtons;
    }
    if (line.Kind == LineListItem) {
        return line.Item >= 0;
    }
    return true;
}

// Why a line cannot be read, "" when it can. In code page 932 text a
// replacement character stands for a byte the decoder could not read; in
// UTF-8 it is a character like any other (this program may have written it).
std::string_view LineProblem(std::string_view line, textcodec::Encoding encoding)
{
    if (line.size() > MaxAssignLineBytes) {
        return "longer than 64 KiB";
    }
    if (line.find('\0') != std::string_view::npos) {
        return "a NUL inside";
    }
    if (!textcodec::IsValidUtf8(line)) {
        return "a byte that is not UTF-8";
    }
    if (encoding == textcodec::Encoding::Cp932 &&
        line.find(textcodec::ReplacementCharacter) != std::string_view::npos) {
        return "a byte that is not code page 932";
    }
    return {};
}

// The longest start offset taken: a day either way.
constexpr std::int32_t StartMsLimit = 86'400'000;

// A numeric value inside its field's range; outside it the field keeps its
// default, and the field is named for the log.
class RangedValues {
public:
    std::optional<std::int32_t> Take(std::string_view field, std::string_view text, std::int32_t low, std::int32_t high)
    {
        const auto value = ParseAssignNumber(text);
        if (!value) {
            return std::nullopt;
        }
        if (*value < low || *value > high) {
            refused_ += refused_.empty() ? "" : ", ";
            refused_ += std::string(field) + " " + std::to_string(*value);
            return std::nullopt;
        }
        return value;
    }
    // One line for all the values of the line that were out of range.
    void Log(int number, std::string_view tablePath) const
    {
        if (!refused_.empty()) {
            basic::WriteLog("ReadAssignFile line " + std::to_string(number) +
                                ": out of range, default taken: " + refused_ + " " + std::string(tablePath),
                            1, 0);
        }
    }

private:
    std::string refused_;
};

void AppendField(std::string& text, std::string_view field, bool first)
{
    if (!first) {
        text += ',';
    }
    text += '"';
    text += field;
    text += '"';
}

// A path as a field: like basic::MakeFieldSafe, but commas stay. The reader
// keeps a comma inside a quoted field, and a file whose name holds one must
// still be found after the table is saved and opened again.
std::string PathFieldSafe(std::string_view path)
{
    std::string result;
    result.reserve(path.size());
    for (const char c : path) {
        if (c == '\r' || c == '\n' || c == '\0' || c == '\t' || c == '\b') {
            continue;
        }
        if (c == '"') {
            result += "\xE2\x80\x9D"; // ”: a quote cannot stand inside a field
        } else {
            result += c;
        }
    }
    return result;
}

template <class... Fields> void AppendLine(std::string& text, const Fields&... fields)
{
    bool first = true;
    ((AppendField(text, fields, first), first = false), ...);
    text += "\r\n";
}

// Appends the line unless a field is no UTF-8 text; then its key and that
// field are noted.
class LineWriter {
public:
    LineWriter(std::string& text, std::vector<std::string>* leftOut) : text_(text), leftOut_(leftOut) {}

    template <class... Fields> void Line(const std::string& key, const Fields&... fields)
    {
        for (const std::string_view field : {std::string_view(fields)...}) {
            if (!textcodec::IsValidUtf8(field)) {
                if (leftOut_ != nullptr) {
                    leftOut_->push_back(key + " \"" + textcodec::ShowingStrayBytes(field) + "\"");
                }
                return;
            }
        }
        AppendLine(text_, std::string_view(key), fields...);
    }

private:
    std::string& text_;
    std::vector<std::string>* leftOut_;
};

} // namespace

AssignParseResult ParseAssignFile(std::span<const std::uint8_t> bytes, std::string_view tablePath,
                                  const std::pair<std::string, std::string>& syncDrive, AssignTableSet& tables)
{
    AssignParseResult result;
    if (textcodec::Utf16TextOrder(bytes)) {
        // Read as 8-bit text its lines hold NULs; no table is written so.
        result.BadLine = 1;
        result.Problem = "UTF-16 text, in which no assign table is read";
        return result;
    }
    AssignText read = ReadAssignText(bytes);
    result.Form = read.Form;
    const std::string text = std::move(read.Text);
    const std::string folder = basic::GetPathPart(tablePath, 1, 1, 0, 0, 0, 0);
    const bool mapping = ReadMappingOn(tablePath, syncDrive);
    ForEachLine(text, [&](std::string_view lineText, int number) {
        if (const std::string_view problem = LineProblem(lineText, result.Form.Encoding); !problem.empty()) {
            result.BadLine = number;
            result.Problem = problem;
            return false;
        }
        const AssignLine line = ParseAssignLine(lineText);
        if (line.Kind == LineNone || line.Kind == LineUser) {
            return true;
        }
        if (!InTables(line)) {
            result.BadLine = number;
            return false;
        }
        const auto name = static_cast<std::size_t>(PageNameIndex(line.Output, line.Page));
        RangedValues values;
        switch (line.Kind) {
        case LineListName:
            tables.ListName[name] = line.Values[0];
            break;
        case LineBankName:
            tables.BankName[name] = line.Values[0];
            break;
        case LineListItem: {
            ListPage& page = tables.ListTable[static_cast<std::size_t>(ListTableIndex(line.Output, line.Page))];
            GrowListPage(page, line.Item);
            const auto item = static_cast<std::size_t>(line.Item);
            page.Items[item].FileName = StoredToSoundPath(line.Values[0], folder, mapping, syncDrive);
            if (const auto seq = values.Take("sequence mark", line.Values[1], 0, 1)) {
                page.Seq[item] = *seq;
            }
            if (const auto start = values.Take("StartMS", line.Values[2], -StartMsLimit, StartMsLimit)) {
                page.Items[item].StartMS = *start;
            }
            break;
        }
        case LineButton: {
            AssignRecord& record =
                tables.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(line.Output, line.Page, line.Item))];
            record.FileName = StoredToSoundPath(line.Values[0], folder, mapping, syncDrive);
            if (const auto mode = values.Take("PlayMode", line.Values[1], 0, 3)) {
                record.PlayMode = *mode;
            }
            if (const auto start = values.Take("StartMS", line.Values[2], -StartMsLimit, StartMsLimit)) {
                record.StartMS = *start;
            }
            record.TextColor = ParseAssignNumber(line.Values[3]).value_or(0);
            record.BackColor = ParseAssignNumber(line.Values[4]).value_or(0);
            break;
        }
        default:
            break;
        }
        values.Log(number, tablePath);
        return true;
    });
    return result;
}

std::string BuildAssignFile(const MainState& state, std::string_view targetPath, int pathMode,
                            const std::optional<std::string>& userName, std::vector<std::string>* leftOut)
{
    std::string text;
    text.reserve(1u << 16);
    LineWriter out(text, leftOut);
    if (userName) {
        out.Line("user", basic::MakeFieldSafe(*userName));
    }
    const bool mapping = pathMode == PathFull && WriteMappingOn(targetPath, state.SyncDrive);
    const auto stored = [&](const std::string& path) {
        return PathFieldSafe(SoundToStoredPath(path, pathMode, mapping, state.SyncDrive));
    };
    const int pages = std::clamp(state.PageNum, 0, AssignPages);
    for (int output = 0; output < AssignOutputs; ++output) {
        for (int page = 0; page < pages; ++page) {
            const std::string& caption = state.BankName[static_cast<std::size_t>(PageNameIndex(output, page))];
            if (!caption.empty()) {
                out.Line(AssignKey("BankName", output, page, -1), basic::MakeFieldSafe(caption));
            }
        }
        const int buttons = std::clamp(state.ButtonsPerPage[static_cast<std::size_t>(output)], 0, AssignButtons);
        for (int page = 0; page < pages; ++page) {
            for (int button = 0; button < buttons; ++button) {
                const AssignRecord& record =
                    state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
                if (record.FileName.empty()) {
                    continue;
                }
                out.Line(AssignKey("Button", output, page, button), stored(record.FileName),
                         std::to_string(record.PlayMode), std::to_string(record.StartMS), AssignHex(record.TextColor),
                         AssignHex(record.BackColor));
            }
        }
    }
    for (int output = 0; output < AssignOutputs; ++output) {
        for (int page = 0; page < pages; ++page) {
            const std::string& caption = state.ListName[static_cast<std::size_t>(PageNameIndex(output, page))];
            if (!caption.empty()) {
                out.Line(AssignKey("ListName", output, page, -1), basic::MakeFieldSafe(caption));
            }
        }
        for (int page = 0; page < pages; ++page) {
            const ListPage& list = state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))];
            // A key holds three digits: items beyond 999 cannot be stored.
            const std::size_t count = std::min<std::size_t>(list.Items.size(), 999);
            for (std::size_t item = 0; item < count; ++item) {
                if (list.Items[item].FileName.empty()) {
                    continue;
                }
                const bool marked = item < list.Seq.size() && list.Seq[item] == 1;
                out.Line(AssignKey("List", output, page, static_cast<int>(item)), stored(list.Items[item].FileName),
                         std::string_view(marked ? "1" : "0"), std::to_string(list.Items[item].StartMS));
            }
        }
    }
    return text;
}

std::string FindFileUser(std::span<const std::uint8_t> bytes)
{
    const std::string text = ReadAssignText(bytes).Text;
    std::string user;
    ForEachLine(text, [&](std::string_view lineText, int) {
        AssignLine line = ParseAssignLine(lineText);
        if (line.Kind == LineUser) {
            user = std::move(line.Values[0]);
            return false;
        }
        return true;
    });
    return user;
}

} // namespace playback
