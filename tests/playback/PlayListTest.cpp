// The play list as the operator works it: the table a view stores into and
// rebuilds from, files dropped on rows, the commands that remove, clear, move
// and mark rows, and rows dragged out.
#include "ExtensibleWaves.h"
#include "PlayListFixture.h"

#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "platform/KeyboardState.h"
#include "playback/PlayList.h"
#include "support/Gallery.h"

#include <QPixmap>

#include <gmock/gmock.h>

namespace {

using playbacktest::PlayListFixture;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;

class PlayList : public PlayListFixture {};

TEST_F(PlayList, StoringAndRebuildingEmptyAndFilledPages)
{
    ASSERT_TRUE(StartLists());
    lists->Lists.StoreListFromView(0);
    ASSERT_EQ(Stored().Items.size(), 1U) << "an empty list is one empty record";
    EXPECT_EQ(Stored().Items[0].FileName, "");
    EXPECT_THAT(Stored().Seq, ElementsAre(0));

    UC_ListView& view = View();
    view.AddItem(3);
    const char* times[] = {"03'25.4", "00'01.0", ""};
    for (int r = 0; r < 3; ++r) {
        view.SetAuxID(r, 0, "/snd/" + std::to_string(r) + ".wav");
        view.SetAuxID(r, 1, r == 1 ? 0 : 1);
        view.SetAuxID(r, 2, r == 2 ? listview::ListCell(1500) : listview::ListCell(""));
        view.SetValue(r, 0, times[r]);
        view.SetValue(r, 2, r == 0 ? "▲" : "");
    }
    lists->Lists.StoreListFromView(0);
    const ListPage& page = Stored();
    ASSERT_EQ(page.Items.size(), 3U);
    EXPECT_EQ(page.Items[0].LengthMS, 205400) << "03'25.4 is 205,400 ms";
    EXPECT_EQ(page.Items[0].StartMS, 0) << "an empty start value stores 0";
    EXPECT_EQ(page.Items[1].Invalid, 1) << "a row found missing stores Invalid";
    EXPECT_EQ(page.Items[0].Invalid, 0);
    EXPECT_EQ(page.Items[2].StartMS, 1500);
    EXPECT_THAT(page.Seq, ElementsAre(1, 0, 0));
    EXPECT_EQ(page.Items[2].FileName, "/snd/2.wav");

    // Rebuilt with CheckCacheLite the stored flags and lengths are taken as
    // they are: no host is asked and no file is opened (none exists).
    State().CheckCacheLite = 1;
    view.DeleteAll();
    for (std::size_t i = 0; i < page.Items.size(); ++i) {
        const ListPage copy = page;
        const AssignRecord& record = copy.Items[i];
        int ok = 0;
        lists->Drops.AddFilesToList(0, record.FileName, -2, 1, record.LengthMS, copy.Seq[i], record.StartMS,
                                    record.Invalid, ok);
        EXPECT_EQ(ok, 1);
    }
    EXPECT_EQ(view.Value(0, 0).Text(), "03'25.4");
    EXPECT_EQ(view.IconType(1), 10) << "the stored missing flag shows the missing icon";
    EXPECT_EQ(view.Value(2, 3).Text(), "00'01.5");
    const ListPage before = Stored();
    lists->Lists.StoreListFromView(0);
    ASSERT_EQ(Stored().Items.size(), before.Items.size());
    for (std::size_t i = 0; i < before.Items.size(); ++i) {
        EXPECT_EQ(Stored().Items[i].FileName, before.Items[i].FileName);
        EXPECT_EQ(Stored().Items[i].LengthMS, before.Items[i].LengthMS);
        EXPECT_EQ(Stored().Items[i].Invalid, before.Items[i].Invalid);
        EXPECT_EQ(Stored().Items[i].StartMS, before.Items[i].StartMS);
        EXPECT_EQ(Stored().Seq[i], before.Seq[i]);
    }
}

TEST_F(PlayList, ThreeFilesDroppedOnRowTwoShiftTheRowsAndTheCursor)
{
    ASSERT_TRUE(StartLists());
    DropTones({"r0", "r1", "r2", "r3", "r4"});
    control->SetListCursor(0, 3, 1, 1);
    ports.Log.Clear();
    DropTones({"n0", "n1", "n2"}, 2);
    EXPECT_THAT(Titles(), ElementsAre("r0", "r1", "n0", "n1", "n2", "r2", "r3", "r4"));
    EXPECT_EQ(State().ListItem[0], 6) << "the cursor stays on its row r3";
    EXPECT_EQ(StoredTitles(), Titles()) << "the table follows the view";
    EXPECT_THAT(ports.Log.Starting("SendRemoteListStatus"), ElementsAre("SendRemoteListStatus 0 0"));
    EXPECT_THAT(ports.Log.Starting("CacheAll"), ElementsAre("CacheAll 1"));

    control->SetListCursor(0, 1, 1, 1);
    DropTones({"m0"}, 2);
    EXPECT_EQ(State().ListItem[0], 1) << "a cursor above the drop row stays";
    DropTones({"tail"}, 100);
    EXPECT_EQ(Titles().back(), "tail") << "below the last row appends";
}

TEST_F(PlayList, ARefusedFileKeepsViewAndTableTogether)
{
    Store("CheckWavFmt", "1");
    ASSERT_TRUE(StartLists());
    State().CheckWavFmt = 1;
    DropTones({"r0", "r1", "r2"});
    control->SetListCursor(0, 1, 1, 1);
    // The middle file has the wrong rate: the drop ends there, and what it
    // had admitted is stored with the cursor shift.
    const std::string good = ToneWave("good.wav", 4800);
    const std::string wrong = ToneWave("wrong.wav", 4410, 1000, 44100);
    const std::string late = ToneWave("late.wav", 4800);
    Drop({good, wrong, late}, 1);
    EXPECT_THAT(Titles(), ElementsAre("r0", "good", "r1", "r2"));
    EXPECT_EQ(StoredTitles(), Titles());
    EXPECT_EQ(State().ListItem[0], 2);
    ASSERT_EQ(Messages.size(), 1U);
    EXPECT_EQ(Messages[0], "Invalid Wav.\r\n" + wrong);

    // A file the drop's own duplicate test refuses is skipped: the others
    // become adjacent rows and the cursor moves by two.
    Messages.clear();
    const std::string first = ToneWave("a/first.wav", 4800);
    const std::string twin = ToneWave("b/r0.wav", 4800);
    const std::string third = ToneWave("a/third.wav", 4800);
    Drop({first, twin, third}, 0);
    EXPECT_THAT(Titles(), ElementsAre("first", "third", "r0", "good", "r1", "r2"));
    EXPECT_EQ(State().ListItem[0], 4);
    EXPECT_EQ(StoredTitles(), Titles());
    ASSERT_EQ(Messages.size(), 1U);
    EXPECT_THAT(Messages[0], testing::EndsWith("同一タイトルの素材は使用できません"));

    // So is a name with a Latin-1 byte, which the table could not hold; the
    // operator is shown that byte, and the log says why.
    Messages.clear();
    const std::string before = ToneWave("a/before.wav", 4800);
    const std::string latin1 = ToneWave("a/s\xE9.wav", 4800);
    const std::string after = ToneWave("a/after.wav", 4800);
    Drop({before, latin1, after}, 0);
    EXPECT_THAT(Titles(), ElementsAre("before", "after", "first", "third", "r0", "good", "r1", "r2"));
    EXPECT_EQ(StoredTitles(), Titles());
    EXPECT_EQ(State().ListItem[0], 6);
    ASSERT_EQ(Messages.size(), 1U);
    EXPECT_EQ(Messages[0], "Invalid Path.\r\n" + sounds / "a/s\\xE9.wav");
    EXPECT_THAT(DayLogEntries(),
                Contains(HasSubstr("cannot hold \"" + sounds / "a/s\\xE9.wav" + "\", which is no UTF-8 text")));
}

TEST_F(PlayList, TwoFilesOfOneNameInOneDropAdmitOne)
{
    ASSERT_TRUE(StartLists());
    const std::string a = ToneWave("a/x.wav", 4800);
    const std::string b = ToneWave("b/x.wav", 4800);
    Drop({a, b}, 0);
    ASSERT_EQ(View().ItemCount(), 1);
    EXPECT_EQ(View().AuxID(0, 0).Text(), a);
    ASSERT_EQ(Messages.size(), 1U);
    EXPECT_EQ(Messages[0], b + "\r\n" + a + "\r\n" + "同一タイトルの素材は使用できません");
    // The same file twice is one sound in two rows.
    Drop({a, a}, 0);
    EXPECT_EQ(View().ItemCount(), 3);
}

TEST_F(PlayList, RowsShowTypeLengthStartAndWhetherTheBackEndCanPlayThem)
{
    ASSERT_TRUE(StartLists());
    const std::string wave = ToneWave("tone.wav", Rate * 3 / 2);
    const std::string mp3 = sounds / "song.mp3";
    testsupport::WriteFile(mp3, {0xFF, 0xFB, 0x90, 0x00});
    Drop({wave, mp3, sounds / "gone.wav"}, 0);
    ASSERT_EQ(View().ItemCount(), 3);
    EXPECT_EQ(View().Value(0, 0).Text(), "00'01.5");
    EXPECT_EQ(View().IconType(0), 1);
    EXPECT_EQ(View().DispColor(0), 0xFFFFFFU);
    EXPECT_EQ(View().Value(0, 3).Text(), "") << "no start offset: empty start column";
    EXPECT_EQ(View().AuxID(0, 2).Text(), "");
    // On the waveOut back-end an mp3 cannot play: missing icon, alert colour.
    EXPECT_EQ(View().IconType(1), 10);
    EXPECT_EQ(View().AuxID(1, 1).Number(), 0);
    EXPECT_EQ(static_cast<std::uint32_t>(*View().AuxID(1, 3).Number()), parms::StateColor[3]);
    EXPECT_EQ(View().IconType(2), 10) << "a missing file is a row all the same";
    EXPECT_EQ(Stored().Items[2].Invalid, 1);
    parms::UseListSeq = 1;
    Select(0);
    lists->LV_DblClicked(0);
    control->SetListCursor(0, 0, 1, 0);
    View().ReDraw();
    testsupport::SaveToGallery(View().grab().toImage(), "play_list_rows");

    // On a back-end that plays any existing file the mp3 shows its type.
    parms::PlayerType = 2;
    View().DeleteAll();
    State().ListTable = {};
    Drop({mp3}, 0);
    EXPECT_EQ(View().IconType(0), 4);
    EXPECT_EQ(View().AuxID(0, 3).Number(), 0xFFFFFF) << "white, its own colour";
    EXPECT_EQ(View().AuxID(0, 1).Number(), 1);
}

TEST_F(PlayList, APcmBackEndShowsAWaveItCannotPlayAsMissingWhenDropped)
{
    ASSERT_TRUE(StartLists());
    const std::string alaw = sounds / "alaw.wav";
    playbacktest::WriteALawExtensible(alaw);
    const std::string pcmExtensible = sounds / "pcm_ext.wav";
    playbacktest::WritePcmExtensible(pcmExtensible);
    // PCM by its tag, but nine channels: out of bounds, nothing plays it.
    const std::string nineChannels = sounds / "nine.wav";
    testsupport::RiffFileBuilder()
        .Format(1, 9, 48000, 16)
        .Data(testsupport::Bytes(9 * 2 * 480, 0))
        .WriteTo(nineChannels);
    const auto expectMissing = [this](int row, const std::string& name) {
        EXPECT_EQ(View().IconType(row), 10) << name;
        EXPECT_EQ(View().AuxID(row, 1).Number(), 0) << name;
        EXPECT_EQ(static_cast<std::uint32_t>(*View().AuxID(row, 3).Number()), parms::StateColor[3]) << name;
        EXPECT_EQ(Stored().Items[static_cast<std::size_t>(row)].Invalid, 1) << name;
    };
    const auto expectPlayable = [this](int row, const std::string& name) {
        EXPECT_NE(View().IconType(row), 10) << name;
        EXPECT_EQ(View().AuxID(row, 1).Number(), 1) << name;
        EXPECT_EQ(Stored().Items[static_cast<std::size_t>(row)].Invalid, 0) << name;
    };
    const auto dropAll = [&] {
        View().DeleteAll();
        State().ListTable = {};
        Drop({alaw, pcmExtensible, nineChannels}, 0);
        ASSERT_EQ(View().ItemCount(), 3) << "an unplayable file is a row all the same";
    };

    // waveOut: PCM samples, in a plain or an extensible wave.
    parms::PlayerType = 3;
    dropAll();
    expectMissing(0, "A-law on waveOut");
    expectPlayable(1, "extensible PCM on waveOut");
    expectMissing(2, "nine channels on waveOut");

    // DirectSound: PCM by the plain tag only.
    parms::PlayerType = 0;
    dropAll();
    expectMissing(0, "A-law on DirectSound");
    expectMissing(1, "extensible PCM on DirectSound");
    expectMissing(2, "nine channels on DirectSound");

    // A graph back-end may decode it: the file exists, that is enough.
    for (const int graph : {1, 2, 4, 5}) {
        parms::PlayerType = graph;
        dropAll();
        expectPlayable(0, "A-law on back-end " + std::to_string(graph));
        expectPlayable(1, "extensible PCM on back-end " + std::to_string(graph));
    }
    EXPECT_TRUE(Messages.empty()) << "playability never refuses with a message";
}

TEST_F(PlayList, AFileFromTheCacheFolderIsEnteredUnderItsServerPath)
{
    ASSERT_TRUE(StartLists());
    // The shared configuration names the server folder and the cache.
    const std::string cache = sounds / "cache/";
    const std::string server = sounds / "server/";
    const std::string savedLocal = FCT_Quind::LocalPath;
    const std::string savedServer = FCT_Quind::Servers[0].SrvPath;
    FCT_Quind::LocalPath = cache;
    FCT_Quind::Servers[0].SrvPath = server;
    const std::string copy = ToneWave("cache/news/item.wav", 4800);
    Drop({copy}, 0);
    FCT_Quind::LocalPath = savedLocal;
    FCT_Quind::Servers[0].SrvPath = savedServer;
    ASSERT_EQ(View().ItemCount(), 1);
    EXPECT_EQ(View().AuxID(0, 0).Text(), server + "news/item.wav");
}

TEST_F(PlayList, ADropWithCacheAtDropCopiesEachFileThatNeedsIt)
{
    ASSERT_TRUE(StartLists());
    State().CacheAtDrop[0] = 1;
    ports.Cache.isCachedResult = "/cache/one.wav";
    const std::string one = ToneWave("one.wav", 4800);
    ports.Log.Clear();
    Drop({one}, 0);
    EXPECT_THAT(ports.Log.Starting("IsCached"), ElementsAre("IsCached " + one + " 0"));
    EXPECT_THAT(ports.Log.Starting("CacheFile"), ElementsAre("CacheFile " + one + " 1"));
    ports.Cache.isCachedResult.clear();
    ports.Log.Clear();
    Drop({ToneWave("two.wav", 4800)}, 0);
    EXPECT_TRUE(ports.Log.Starting("CacheFile").empty()) << "nothing to copy";
}

TEST_F(PlayList, RemovingRowsKeepsTheCursorOnItsItemAndNeverRemovesThePlayingRow)
{
    ASSERT_TRUE(StartLists());
    DropTones({"r0", "r1", "r2", "r3", "r4"});
    control->SetListCursor(0, 4, 1, 1);
    View().UnSelectAll();
    View().SetIsSelected(1, 1);
    View().SetIsSelected(2, 1);
    View().SetSelectedItem(1);
    parms::MonitorExchange.MonitorOutput = 0;
    lists->RCListFCT(0);
    EXPECT_THAT(Titles(), ElementsAre("r0", "r3", "r4"));
    EXPECT_EQ(State().ListItem[0], 2) << "still on r4";
    EXPECT_EQ(StoredTitles(), Titles());

    // The playing row stays, with the message.
    DropTones({"long"}, 0);
    ToneWave("long.wav", Rate * 5);
    Select(0);
    control->Pon(0, 0, 0, 0, 0);
    Run(100);
    ASSERT_EQ(State().OutputState[0], 1);
    ASSERT_EQ(State().ListItem[0], 0);
    Messages.clear();
    Select(0);
    lists->CtrlButton_ButtonClicked(0, 0);
    EXPECT_THAT(Messages, ElementsAre("Cant Remove Playing Title."));
    EXPECT_EQ(View().ItemCount(), 4);
    // Other rows go while it plays; clearing is refused before the question.
    Select(2);
    lists->CtrlButton_ButtonClicked(0, 0);
    EXPECT_THAT(Titles(), ElementsAre("long", "r0", "r4"));
    EXPECT_EQ(State().ListItem[0], 0);
    Messages.clear();
    Select(1);
    lists->CtrlButton_ButtonClicked(0, 1);
    EXPECT_THAT(Messages, ElementsAre("Cant Remove Playing Title."));
    EXPECT_EQ(View().ItemCount(), 3);

    control->StopOutput(0);
    Run(200);
    Messages.clear();
    Answer = platform::IdNo;
    Select(1);
    lists->CtrlButton_ButtonClicked(0, 1);
    EXPECT_THAT(Messages, ElementsAre("Clear List?"));
    EXPECT_EQ(View().ItemCount(), 3) << "No keeps the list";
    Answer = platform::IdYes;
    lists->CtrlButton_ButtonClicked(0, 1);
    EXPECT_EQ(View().ItemCount(), 0);
    EXPECT_EQ(State().ListItem[0], -1);
    EXPECT_EQ(Stored().Items.size(), 1U);
}

TEST_F(PlayList, UpAndDownStoreTheOrderAndCarryTheCursor)
{
    ASSERT_TRUE(StartLists());
    DropTones({"a", "b", "c"});
    control->SetListCursor(0, 1, 1, 1);
    Select(1);
    lists->CtrlButton_ButtonClicked(0, 2);
    EXPECT_THAT(Titles(), ElementsAre("b", "a", "c"));
    EXPECT_EQ(StoredTitles(), Titles());
    EXPECT_EQ(State().ListItem[0], 0) << "the cursor moved with b";
    EXPECT_EQ(View().SelectedItem(), 0);
    lists->CtrlButton_ButtonClicked(0, 2);
    EXPECT_THAT(Titles(), ElementsAre("b", "a", "c")) << "the first row goes no higher";
    Select(2);
    lists->CtrlButton_ButtonClicked(0, 2);
    EXPECT_THAT(Titles(), ElementsAre("b", "c", "a"));
    EXPECT_EQ(State().ListItem[0], 0);
    Select(0);
    lists->CtrlButton_ButtonClicked(0, 3);
    EXPECT_THAT(StoredTitles(), ElementsAre("c", "b", "a"));
    EXPECT_EQ(State().ListItem[0], 1);
}

TEST_F(PlayList, ClicksMarksAndTheRightClick)
{
    ASSERT_TRUE(StartLists());
    parms::UseListSeq = 1;
    DropTones({"a", "b", "c"});
    Select(2);
    lists->LV_Clicked(0, 0, 0);
    EXPECT_EQ(State().ListItem[0], 2) << "on an idle output the clicked row plays next";

    lists->LV_DblClicked(0);
    EXPECT_THAT(Stored().Seq, ElementsAre(0, 0, 1));
    EXPECT_EQ(View().Value(2, 2).Text(), parms::SeqMarkText);
    State().SeqRC = 1;
    lists->LV_DblClicked(0);
    EXPECT_THAT(Stored().Seq, ElementsAre(0, 0, 1)) << "with SeqRC the menu switches the mark";
    parms::MonitorExchange.MonitorOutput = 0;
    lists->RCListFCT(2);
    EXPECT_THAT(Stored().Seq, ElementsAre(0, 0, 0));

    lists->LV_RightClicked(0, 0, 0);
    EXPECT_EQ(State().PendingListMenu, 1);
    State().PendingListMenu = 0;
    State().UseListRCMenu = 0;
    ports.Log.Clear();
    lists->LV_RightClicked(0, 0, 0);
    EXPECT_THAT(ports.Log.Starting("MonSound"), ElementsAre("MonSound 0"));
    lists->Commands.Use.MonitorShown = [] { return true; };
    ports.Log.Clear();
    lists->LV_RightClicked(0, 0, 0);
    EXPECT_TRUE(ports.Log.Starting("MonSound").empty()) << "ignored while the monitor window shows";
}

TEST_F(PlayList, RowsDraggedOutAreRemovedUnlessCopiedWithControl)
{
    ASSERT_TRUE(StartLists());
    DropTones({"a", "b", "c", "d"});
    control->SetListCursor(0, 3, 1, 1);
    View().UnSelectAll();
    View().SetIsSelected(0, 1);
    View().SetIsSelected(2, 1);
    View().SetSelectedItem(0);
    platform::DragData data;
    int allowed = 3;
    lists->LV_OLEStartDrag(0, data, allowed);
    EXPECT_EQ(allowed, platform::DropEffectCopy);
    EXPECT_THAT(data.Files(), ElementsAre(sounds / "a.wav", sounds / "c.wav"));

    lists->LV_OLECompleteDrag(0, platform::DropEffectNone);
    EXPECT_EQ(View().ItemCount(), 4) << "a drag nobody took keeps the rows";

    State().ListCtrl = 1;
    platform::SetControlKeyHook([] { return true; });
    lists->LV_OLECompleteDrag(0, platform::DropEffectCopy);
    EXPECT_EQ(View().ItemCount(), 4) << "Control held with ListCtrl copies";

    platform::SetControlKeyHook([] { return false; });
    lists->LV_OLECompleteDrag(0, platform::DropEffectCopy);
    platform::SetControlKeyHook(nullptr);
    EXPECT_THAT(Titles(), ElementsAre("b", "d"));
    EXPECT_EQ(StoredTitles(), Titles());
    EXPECT_EQ(State().ListItem[0], 1) << "the cursor stays on d";
}

TEST_F(PlayList, RowsDraggedToAnotherListMoveThere)
{
    ASSERT_TRUE(StartLists({1, 2}, 2));
    DropTones({"a", "b"}, 0, 0);
    Select(1, 0);
    platform::DragData data;
    int allowed = 0;
    lists->LV_OLEStartDrag(0, data, allowed);
    int effect = platform::DropEffectCopy;
    lists->LV_OLEDragDrop(1, data, effect, 1, 0, 0, 0);
    lists->LV_OLECompleteDrag(0, effect);
    EXPECT_THAT(Titles(0), ElementsAre("a"));
    EXPECT_THAT(Titles(1), ElementsAre("b"));
    EXPECT_THAT(StoredTitles(1), ElementsAre("b"));
}

TEST_F(PlayList, NewAssignEmptiesEveryTableAndView)
{
    ASSERT_TRUE(StartLists());
    DropTones({"a"});
    State().BankName[0] = "page";
    Assign(0, 3, 7, "/x.wav");
    ports.Log.Clear();
    lists->NewAssign();
    EXPECT_EQ(View().ItemCount(), 0);
    EXPECT_EQ(State().BankName[0], "");
    EXPECT_EQ(Stored().Items.size(), 1U);
    const AssignRecord& button = State().ButtonTable[static_cast<std::size_t>(ButtonTableIndex(0, 3, 7))];
    EXPECT_EQ(button.FileName, "");
    EXPECT_EQ(button.Invalid, 1);
    EXPECT_THAT(ports.Log.Calls(), testing::Contains("ChangePage 0 0 1"));
    EXPECT_EQ(ports.Log.Calls().back(), "CacheAll 1");
}

TEST_F(PlayList, TheDisplaySwitchKeepsTheRowsAndTheSelectedRow)
{
    ASSERT_TRUE(StartLists());
    DropTones({"a", "b", "c"});
    Select(1);
    control->ShowCurrentItem(0);
    EXPECT_EQ(window->PictureCurrent(0)->TextMes(1), "b") << "an idle list shows its selected row";
    window->MenuDispBig_Click();
    EXPECT_EQ(State().DispBig, 1);
    EXPECT_THAT(Titles(), ElementsAre("a", "b", "c"));
    EXPECT_EQ(View().SelectedItem(), 1);
    EXPECT_EQ(window->PictureCurrent(0)->TextMes(1), "b");
    EXPECT_EQ(StoredTitles(), Titles());
}

} // namespace
