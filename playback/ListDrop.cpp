#include "playback/ListDrop.h"

#include "audio/WaveHeader.h"
#include "foundation/Durations.h"
#include "foundation/FileAccess.h"
#include "foundation/HostReachability.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/ServerFolders.h"
#include "mainwindow/FrmMain.h"
#include "platform/DragData.h"
#include "platform/MessageBox.h"
#include "playback/AssignChecks.h"
#include "playback/CacheNames.h"
#include "playback/DragMoves.h"
#include "playback/ListIcons.h"
#include "playback/PlayList.h"
#include "playback/SlotIndexes.h"

#include <algorithm>
#include <vector>

namespace playback {

namespace {

constexpr platform::Color White = 0xFFFFFF;
// Whether the back-end can play the file (its host answers first). An
// A-law or damaged wave on a PCM back-end shows as missing when dropped, not
// when played.
bool Playable(std::string_view path)
{
    return FCT_Ping::IsPathHostReachable(path, 1500, 300) == 1 && BackEndPlays(path);
}

// The name two files must not share, and the path it is compared under.
std::string FileNameOf(std::string_view path)
{
    return basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
}

std::string RowPath(std::string_view path)
{
    std::string server = GetServerFilename(path);
    return server.empty() ? std::string(path) : server;
}

std::optional<platform::Color> TipColour(const std::vector<std::string>& texts, std::size_t index)
{
    if (index >= texts.size()) {
        return std::nullopt;
    }
    const listview::ListCell cell(texts[index]);
    const std::optional<double> number = cell.Number();
    if (!number.has_value() || *number < 0 || *number > 0xFFFFFF) {
        return std::nullopt;
    }
    return static_cast<platform::Color>(*number);
}

} // namespace

void ListDrop::AddFilesToList(int output, std::string_view pathIn, int row, int fromTable, int lengthMS, int seq,
                              int startMS, int missing, int& ok)
{
    ok = 0;
    MainState& state = window_.State;
    UC_ListView* view = output >= 0 && output < MainState::Outputs ? window_.LV.At(output) : nullptr;
    if (pathIn.empty() || view == nullptr) {
        return;
    }
    std::string path(pathIn);
    std::int32_t allowed = 0;
    CheckSoundPath(state, path, 1, allowed, &window_);
    if (allowed == 0) {
        return;
    }
    std::int32_t refused = 0;
    std::string local;
    if (const std::string server = GetServerFilename(path); server.empty()) {
        // Without a cache folder there is no copy (a bare file name would be
        // looked for in the working folder).
        local = FCT_Quind::LocalPath.empty() ? path : GetLocalFilename(path);
        if (local.empty() || basic::FileExists(local) == 0) {
            local = path;
        }
        CheckDuplicateTitle(state, path, refused, &window_);
        if (refused != 0) {
            return;
        }
    } else {
        // A file from the cache folder: the row refers to the server file.
        local = path;
        CheckDuplicateTitle(state, server, refused, &window_);
        if (refused != 0) {
            return;
        }
        path = server;
    }
    if (!(fromTable == 1 && state.CheckCacheLite == 1)) {
        missing = Playable(path) ? 0 : 1;
    }
    const bool readHeader = fromTable == 0 && !(local == path && missing == 1);
    const std::string extension = basic::GetPathPart(path, 0, 0, 0, 0, 1, 1);
    int icon = 0;
    WaveInfoRecord header;
    if (extension == "wav" && readHeader) {
        header = WaveMMIO::ReadWaveHeader(local, 0);
        if (state.CheckWavFmt == 1 && (header.SampleRate != state.SozaiFreq || header.FormatCode != state.SozaiMode)) {
            basic::ShowMessage(basic::LangText("wav形式が違います", "Invalid Wav.") + "\r\n" + path, platform::IconStop,
                               "", &window_);
            return;
        }
        icon = ListIconForWaveHeader(header);
    } else {
        icon = ListIconForExtension(extension);
    }

    int r = 0;
    if (row == -2 || row >= view->ItemCount()) {
        view->AddItem(1);
        r = view->ItemCount() - 1;
    } else {
        r = std::max(row, 0);
        view->InsertItem(r, 1);
    }
    view->SetAuxID(r, 0, path);
    view->SetValue(r, 1, basic::GetPathPart(path, 0, 0, 1, 0, 0, 0));

    platform::Color colour = White;
    const auto o = At(output);
    if (parms::DispTip[o] == 1 && parms::TipFieldCount > 0 && parms::GetTip == 1 && window_.Ports.Cache != nullptr) {
        std::vector<std::string> texts;
        if (window_.Ports.Cache->GetTipInfo(path, texts, 0) == 1) {
            const auto fields = static_cast<std::size_t>(parms::TipFieldCount);
            for (std::size_t k = 0; k < fields && k < texts.size(); ++k) {
                view->SetValue(r, 4 + static_cast<int>(k), texts[k]);
            }
            if (parms::ApplyTipColor == 1) {
                colour = TipColour(texts, fields).value_or(colour);
            }
        }
    }

    std::int32_t length = lengthMS;
    if (readHeader) {
        WaveInfoRecord info = extension == "wav" ? header : WaveInfoRecord{};
        ReadCueMarkers(local, info, length);
    }
    view->SetValue(r, 0, basic::FormatDuration(length, 1, 0));
    view->SetValue(r, 2, seq != 0 ? parms::SeqMarkText : std::string());
    if (missing == 1) {
        view->SetAuxID(r, 3, static_cast<double>(parms::StateColor[3]));
        view->SetIconType(r, ListIconMissing);
        view->SetAuxID(r, 1, 0);
    } else {
        view->SetAuxID(r, 3, static_cast<double>(colour));
        view->SetIconType(r, icon);
        view->SetAuxID(r, 1, 1);
    }
    view->SetDispColor(r, static_cast<platform::Color>(view->AuxID(r, 3).Number().value_or(White)));
    if (startMS < 1) {
        view->SetValue(r, 3, "");
        view->SetAuxID(r, 2, "");
    } else {
        view->SetValue(r, 3, basic::FormatDuration(startMS, 1, 0));
        view->SetAuxID(r, 2, startMS);
    }
    ok = 1;
}

bool ListDrop::SameNameInDrop(std::string_view path, const AdmittedNames& admitted)
{
    const std::string lowerPath = basic::LowerAscii(path);
    const auto [first, last] = admitted.equal_range(FileNameOf(path));
    for (auto it = first; it != last; ++it) {
        if (basic::LowerAscii(it->second) != lowerPath) {
            basic::ShowMessage(std::string(path) + "\r\n" + it->second + "\r\n" + "同一タイトルの素材は使用できません",
                               platform::IconStop, "", &window_);
            return true;
        }
    }
    return false;
}

int ListDrop::LV_OLEDragDrop(int output, const platform::DragData& data, double y)
{
    MainState& state = window_.State;
    UC_ListView* view = output >= 0 && output < MainState::Outputs ? window_.LV.At(output) : nullptr;
    if (view == nullptr || !data.GetFormat(platform::FormatFiles)) {
        return 0;
    }
    const auto o = At(output);
    const int pos = std::clamp(view->YsItem(y), 0, view->ItemCount());
    int added = 0;
    AdmittedNames admitted;
    for (std::size_t index = 0; index < data.Files().size(); ++index) {
        const std::string& path = data.Files()[index];
        // A name the table cannot hold is skipped, as a duplicate is: the
        // other files of the drop are still taken.
        std::int32_t refused = 0;
        CheckNameIsText(state, path, refused, &window_);
        if (refused != 0) {
            continue;
        }
        const std::string rowPath = RowPath(path);
        CheckDuplicateTitle(state, path, refused, &window_);
        if (refused != 0 || SameNameInDrop(rowPath, admitted)) {
            continue;
        }
        int ok = 0;
        AddFilesToList(output, path, pos + added, 0, 0, 0, 0, 0, ok);
        if (ok == 0) {
            // The drop ends; what was admitted so far is stored below.
            break;
        }
        dragmoves::Took(index);
        admitted.emplace(FileNameOf(rowPath), rowPath);
        // The cursor follows its row at once: the host test and the cache
        // copy pump events, and the tick may read the cursor meanwhile.
        if (state.ListItem[o] >= pos + added) {
            ++state.ListItem[o];
        }
        ++added;
        if (state.CacheAtDrop[o] == 1 && state.SomethingPlays == 0 && window_.Ports.Cache != nullptr) {
            if (!window_.Ports.Cache->IsCached(path, 0).empty()) {
                window_.Ports.Cache->CacheFile(path, 1);
            }
        }
    }
    view->SetVbarParm();
    list_.StoreListFromView(output);
    if (state.CheckCacheLite == 0 && window_.Ports.Cache != nullptr) {
        window_.Ports.Cache->CacheAll(1);
    }
    const bool idle = state.OutputState[o] == 0;
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->SetListCursor(output, state.ListItem[o], idle ? 1 : 0, 1);
        if (idle) {
            window_.Ports.Playback->ShowCurrentItem(output);
        }
    }
    if (window_.Ports.Remote != nullptr) {
        window_.Ports.Remote->SendRemoteListStatus(output, 0);
    }
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->DisarmTimer(output);
    }
    return added;
}

} // namespace playback
