#include "remote/RemoteAssignTable.h"

#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Paths.h"
#include "platform/MessageBox.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"
#include "platform/base/TextCodec.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignLine.h"

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace remote {

namespace {

constexpr std::int32_t OutputCount = 4;

struct FunctionName {
    std::string_view name;
    std::int32_t number;
};

constexpr FunctionName functionNames[] = {
    {"FCTNA", RemoteFunction::None},
    {"PAGE_ON", RemoteFunction::PageOn},
    {"PAGE_OFF", RemoteFunction::PageOn},
    {"BUTTON_ON", RemoteFunction::ButtonOn},
    {"BUTTON_OFF", RemoteFunction::ButtonOn},
    {"BUTTON_STBY", RemoteFunction::ButtonOn},
    {"PLAY_ON", RemoteFunction::PlayOn},
    {"PLAY_OFF", RemoteFunction::PlayOn},
    {"STBY_ON", RemoteFunction::StbyOn},
    {"STBY_OFF", RemoteFunction::StbyOn},
    {"STOP_ON", RemoteFunction::StopOn},
    {"STOP_OFF", RemoteFunction::StopOn},
    {"LINEOUTSTATUS_ON", RemoteFunction::LineOutStatusOn},
    {"LINEOUTSTATUS_OFF", RemoteFunction::LineOutStatusOn},
    {"PAUSE_ON", RemoteFunction::PauseOn},
    {"PAUSE_OFF", RemoteFunction::PauseOn},
    {"STBY_ACTIVATE", RemoteFunction::StbyActivate},
    {"STBY_DEACTIVATE", RemoteFunction::StbyActivate},
    {"PAGE_PLUS", RemoteFunction::PagePlus},
    {"PAGE_MINUS", RemoteFunction::PageMinus},
    {"LIST_UP", RemoteFunction::ListUp},
    {"LIST_DOWN", RemoteFunction::ListDown},
};

RemoteAssignEntry& At(RemoteAssignTableData& table, int channel, int code)
{
    return table[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
}

// Every "ch" removed, whatever its case.
std::string WithoutCh(std::string_view text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i + 1 < text.size() && (text[i] == 'c' || text[i] == 'C') && (text[i + 1] == 'h' || text[i + 1] == 'H')) {
            ++i;
            continue;
        }
        result += text[i];
    }
    return result;
}

enum class Number { Valid, NotNumeric, TooLarge };

Number ReadRounded(std::string_view text, std::int32_t& value)
{
    const std::optional<double> parsed = numeric::ParseNumber(text);
    if (!parsed) {
        return Number::NotNumeric;
    }
    const double rounded = numeric::RoundHalfEven(*parsed);
    if (!std::isfinite(rounded) || rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        return Number::TooLarge;
    }
    value = static_cast<std::int32_t>(rounded);
    return Number::Valid;
}

// The range a value must keep for its function: a page for the page
// function, a button for the button function; the others carry a lamp value
// or (function -1) any remote code, 255 included.
bool ValueFitsFunction(std::int32_t function, std::int32_t value)
{
    switch (function) {
    case RemoteFunction::PageOn:
        return value >= 1 && value <= 20;
    case RemoteFunction::ButtonOn:
        return value >= 1 && value <= 100;
    default:
        return true;
    }
}

void LogSkippedLine(int number, std::string_view lineText, std::string_view why)
{
    basic::WriteLog("LoadRemoteAssignTable: line " + std::to_string(number) + " skipped (" + std::string(why) +
                        "): \"" + std::string(lineText) + "\"",
                    1, 0);
}

void ShowReadError(platform::Form* owner)
{
    basic::ShowMessage(basic::LangText("リモートアサインファイルを読み込めません", "Can not read Remote assign table file"),
                       platform::IconStop, App::Title, owner);
}

} // namespace

std::int32_t RemoteFunctionNumber(std::string_view upperName)
{
    for (const FunctionName& entry : functionNames) {
        if (entry.name == upperName) {
            return entry.number;
        }
    }
    return RemoteFunction::Code;
}

void SetRemoteAssignDefaults(RemoteAssignTableData& table, const std::array<std::int32_t, RemoteChannels>& channelOutputs)
{
    for (int channel = 0; channel < RemoteChannels; ++channel) {
        const std::int32_t output = channelOutputs[static_cast<std::size_t>(channel)];
        // An unmapped code carries itself as its remote code, so the
        // dispatcher ignores exactly the codes that mean nothing to it and a
        // stray code never puts button 1 on air.
        for (int code = 0; code < RemoteCodes; ++code) {
            At(table, channel, code) = {output, RemoteFunction::Code, code};
        }
        if (output >= 4) {
            for (int i = 1; i <= 4; ++i) {
                At(table, channel, i) = {i - 1, RemoteFunction::PlayOn, 1};
                At(table, channel, i + 4) = {i - 1, RemoteFunction::StopOn, 1};
                At(table, channel, i + 8) = {i - 1, RemoteFunction::ListUp, 1};
                At(table, channel, i + 12) = {i - 1, RemoteFunction::ListDown, 1};
            }
        } else {
            for (int code = 1; code <= 100; ++code) {
                At(table, channel, code) = {output, RemoteFunction::ButtonOn, code};
            }
            for (int code = 201; code <= 220; ++code) {
                At(table, channel, code) = {output, RemoteFunction::PageOn, code - 200};
            }
            At(table, channel, 241) = {output, RemoteFunction::StopOn, 1};
            At(table, channel, 242) = {output, RemoteFunction::PagePlus, 1};
            At(table, channel, 243) = {output, RemoteFunction::PageMinus, 1};
            At(table, channel, 244) = {output, RemoteFunction::PlayOn, 1};
            At(table, channel, 245) = {output, RemoteFunction::StbyActivate, 1};
            At(table, channel, 246) = {output, RemoteFunction::PauseOn, 1};
        }
        At(table, channel, 255) = {output, RemoteFunction::Code, 255};
    }
}

bool ApplyRemoteAssignText(RemoteAssignTableData& table, std::string_view text)
{
    bool complete = true;
    playback::ForEachLine(text, [&](std::string_view lineText, int number) {
        const playback::AssignLine parsed = playback::ParseAssignLine(lineText);
        if (parsed.Kind != playback::LineButton) {
            return true;
        }
        const int channel = parsed.Page;
        const int code = parsed.Item + 1;
        if (channel < 0 || channel >= RemoteChannels || code < 0 || code >= RemoteCodes) {
            LogSkippedLine(number, lineText, "no such channel or code");
            return true;
        }
        std::int32_t output = 0;
        std::int32_t value = 0;
        const Number outputRead = ReadRounded(WithoutCh(parsed.Values[0]), output);
        const Number valueRead = ReadRounded(parsed.Values[2], value);
        if (outputRead == Number::NotNumeric || valueRead == Number::NotNumeric || parsed.Values[1].empty()) {
            return true;
        }
        if (outputRead == Number::TooLarge || valueRead == Number::TooLarge) {
            basic::WriteLog("LoadRemoteAssignTable: a value beyond 32 bits in \"" + std::string(lineText) + "\"", 1, 0);
            complete = false;
            return false;
        }
        // Outputs are written 1..4; anything else would be stored and then
        // do nothing, or overflow where the output is counted on.
        if (output < 1 || output > OutputCount) {
            LogSkippedLine(number, lineText, "no such output");
            return true;
        }
        const std::int32_t function = RemoteFunctionNumber(basic::UpperAscii(parsed.Values[1]));
        if (!ValueFitsFunction(function, value)) {
            LogSkippedLine(number, lineText, "value out of range");
            return true;
        }
        At(table, channel, code) = {output - 1, function, value};
        return true;
    });
    return complete;
}

void LoadRemoteAssignTable(RemoteAssignTableData& table, const std::array<std::int32_t, RemoteChannels>& channelOutputs,
                           platform::Form* owner)
{
    SetRemoteAssignDefaults(table, channelOutputs);
    const std::string path = basic::AppPath() + basic::SettingsStoreName + ".rrs";
    if (basic::FileExists(path) == 0 || basic::GetFileSizeByName(path) == 0) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (basic::ReadWholeFile(bytes, path) != 1) {
        basic::WriteLog("LoadRemoteAssignTable: cannot read " + path, 1, 0);
        ShowReadError(owner);
        return;
    }
    if (!ApplyRemoteAssignText(table, textcodec::Decode(bytes))) {
        ShowReadError(owner);
    }
}

} // namespace remote
