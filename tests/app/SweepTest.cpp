// Every menu bar item, every right-click command of sound buttons, play
// lists and page selectors, and every list tool button, performed once on
// the assembled program while idle, in the state it needs, with the effect
// an operator would see. One row of the table per item.
#include "AssembledInput.h"

#include "dialogs/FrmConf.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "support/ArgumentPipe.h"
#include "support/HelperProcess.h"

#include <QMenu>
#include <QTimer>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

namespace fs = std::filesystem;
using apptest::AssembledFixture;
using testing::HasSubstr;

// Output 1 shows sound buttons (button 3 holds "three.wav"), output 2 a
// play list with the rows a, b, c.
class Sweep : public AssembledFixture {
public:
    bool StartShow()
    {
        if (!Start(2, {2})) {
            return false;
        }
        three = RampWave("three.wav", Rate / 2);
        other = RampWave("other.wav", Rate / 2);
        for (const char* name : {"a", "b", "c"}) {
            rows.push_back(RampWave(std::string(name) + ".wav", Rate / 2));
        }
        return program->Grid.Grid.AssignButtonOnPage(0, 0, 2, three) &&
               DropFiles(List().ListArea(), rows, QPoint(10, 5)) != platform::DropEffectNone && List().ItemCount() == 3;
    }
    void TearDown() override
    {
        platform::SetFileDialogAnswer(nullptr);
        platform::SetFolderDialogAnswer(nullptr);
        platform::SetColourDialogAnswer(nullptr);
        AssembledFixture::TearDown();
    }

    void Advance(int ms) { clock.Advance(ms); }
    UC_ListView& List() { return *Window().LV(1); }
    const ListPage& Rows() { return State().ListTable[static_cast<std::size_t>(ListTableIndex(1, 0))]; }
    std::vector<std::string> Titles()
    {
        std::vector<std::string> titles;
        for (int r = 0; r < List().ItemCount(); ++r) {
            titles.push_back(List().Value(r, 1).Text());
        }
        return titles;
    }
    void OnMenu(QMenu* menu, QAction* entry)
    {
        ChooseInMenu = [menu, entry](QMenu& shown) -> QAction* { return &shown == menu ? entry : nullptr; };
    }
    // The right-click menu of sound button 3 with command's entry chosen.
    void ButtonCommand(int command)
    {
        FrmMain& w = Window();
        QAction* entry = command < 2    ? w.MenuRCButtonFile->At(command)
                         : command < 6  ? w.MenuRCButtonFCT->At(command - 2)
                         : command < 10 ? w.MenuRCButtonMode->At(command - 6)
                                        : w.MenuRCButtonColor->At(command - 10);
        OnMenu(w.MenuRCButtonP, entry);
        Click(Face(Button(0, 2)), Qt::RightButton);
        Run(parms::TimerInt);
    }
    void SelectRow(int row) { Click(List().ListArea(), Qt::LeftButton, QPoint(20, apptest::YOfRow(List(), row))); }
    // The list menu on row with command's entry chosen.
    void ListCommand(int row, int command)
    {
        SelectRow(row);
        OnMenu(Window().MenuRCListP, Window().MenuRCList->At(command));
        Click(List().ListArea(), Qt::RightButton, QPoint(20, apptest::YOfRow(List(), row)));
        Run(parms::TimerInt);
    }
    // The page menu of output 1's page selector button page.
    void PageCommand(int page, int command)
    {
        controls::UC_Buttons& pages = *Window().PageButtons(0);
        OnMenu(Window().MenuRCPageP, Window().MenuRCPage->At(command));
        Click(*pages.PictureWidget(), Qt::RightButton,
              QPoint(apptest::XOfButton(pages, page), pages.PictureWidget()->height() / 2));
        Run(parms::TimerInt);
    }
    void ToolButton(int index)
    {
        controls::UC_Buttons& tools = *Window().CtrlButton(1);
        Click(*tools.PictureWidget(), Qt::LeftButton,
              QPoint(apptest::XOfButton(tools, index), tools.PictureWidget()->height() / 2));
    }
    bool MonitorShows(const std::string& file)
    {
        return program->Monitor.IsVisible() && program->Monitor.Window()->OpenedFile() == file;
    }
    // A program named name in PATH that reports its arguments.
    void FakeProgramInPath(const std::string& name)
    {
        fs::create_symlink(testsupport::HelperPath("tolv_test_argdump"), bin / name);
        const char* path = std::getenv("PATH");
        savedPath = path != nullptr ? path : "";
        setenv("PATH", (bin.Path() + ":" + savedPath).c_str(), 1);
    }

    std::string three;
    std::string other;
    std::vector<std::string> rows;
    testsupport::ScratchFolder bin;
    std::string savedPath;
};

struct Row {
    const char* item;   // where, and which item
    const char* needs;  // the state the item needs, besides idle
    const char* effect; // what is seen
    std::function<void(Sweep&)> perform;
    std::function<void(Sweep&)> check;
    std::function<void(Sweep&)> before; // before the start-up
};

Row R(const char* item, const char* needs, const char* effect, std::function<void(Sweep&)> perform,
      std::function<void(Sweep&)> check, std::function<void(Sweep&)> before = nullptr)
{
    return Row{item, needs, effect, std::move(perform), std::move(check), std::move(before)};
}

std::vector<Row> Table()
{
    using S = Sweep;
    return {
        // ---- The sound button's menu (button 3 of output 1 holds a file) ----
        R(
            "ButtonAssignFile", "a file chosen in the dialog", "the button holds the chosen file",
            [](S& t) {
                platform::SetFileDialogAnswer([&t](const platform::FileDialogRequest&) { return t.other; });
                t.ButtonCommand(0);
            },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).FileName, t.other);
                EXPECT_EQ(t.Button(0, 2).Text(0), "other");
            }),
        R(
            "ButtonRemove", "", "the button is empty", [](S& t) { t.ButtonCommand(1); },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).FileName, "");
                EXPECT_EQ(t.Button(0, 2).Text(0), "");
            }),
        R(
            "ButtonStartMs", "", "the monitor window shows the button's file, not playing",
            [](S& t) { t.ButtonCommand(2); },
            [](S& t) {
                EXPECT_TRUE(t.MonitorShows(t.three));
                EXPECT_EQ(t.program->Monitor.Window()->Lamp(1), 0);
            }),
        R(
            "ButtonEdit", "EditApp names a program at start-up (the item shows only then)",
            "the editor starts with the button's file",
            [](S& t) {
                testsupport::ArgumentPipe pipe;
                t.ButtonCommand(3);
                EXPECT_EQ(pipe.Arguments(), std::vector<std::string>{t.three});
            },
            [](S&) {}, [](S& t) { t.Store("EditApp", testsupport::HelperPath("tolv_test_argdump")); }),
        R(
            "ButtonPreview", "", "the monitor window shows and plays the button's file",
            [](S& t) { t.ButtonCommand(4); },
            [](S& t) {
                EXPECT_TRUE(t.MonitorShows(t.three));
                EXPECT_EQ(t.program->Monitor.Window()->Lamp(1), 2);
            }),
        R(
            "ButtonShowFileInfo", "", "a message with the file's audio information", [](S& t) { t.ButtonCommand(5); },
            [](S& t) {
                ASSERT_EQ(t.messages.size(), 1U);
                EXPECT_THAT(t.messages[0], testing::Not(HasSubstr("file not found")));
            }),
        R(
            "ButtonModeNormal", "the button in another mode", "mode Normal, no mark",
            [](S& t) {
                t.Record(0, 0, 2).PlayMode = 3;
                t.ButtonCommand(6);
            },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).PlayMode, 0);
                EXPECT_EQ(t.Button(0, 2).Text(3), "");
            }),
        R(
            "ButtonModeMomentary", "", "mode Momentary, mark M", [](S& t) { t.ButtonCommand(7); },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).PlayMode, 1);
                EXPECT_EQ(t.Button(0, 2).Text(3), "M");
            }),
        R(
            "ButtonModeLatch", "", "mode Latch, mark L", [](S& t) { t.ButtonCommand(8); },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).PlayMode, 2);
                EXPECT_EQ(t.Button(0, 2).Text(3), "L");
            }),
        R(
            "ButtonModeToggle", "", "mode Toggle, mark T", [](S& t) { t.ButtonCommand(9); },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).PlayMode, 3);
                EXPECT_EQ(t.Button(0, 2).Text(3), "T");
            }),
        R(
            "ButtonTextColour", "a colour chosen in the dialog", "the text colour is stored",
            [](S& t) {
                platform::SetColourDialogAnswer([](const platform::ColourDialogRequest&) { return 0x00FF00; });
                t.ButtonCommand(10);
            },
            [](S& t) { EXPECT_EQ(t.Record(0, 0, 2).TextColor, 0x00FF00); }),
        R(
            "ButtonBackColour", "a colour chosen in the dialog", "the background colour is stored",
            [](S& t) {
                platform::SetColourDialogAnswer([](const platform::ColourDialogRequest&) { return 0x000080; });
                t.ButtonCommand(11);
            },
            [](S& t) { EXPECT_EQ(t.Record(0, 0, 2).BackColor, 0x000080); }),
        R(
            "ButtonDefaultColours", "colours of its own", "white text on the face picture",
            [](S& t) {
                t.Record(0, 0, 2).TextColor = 0x123456;
                t.Record(0, 0, 2).BackColor = 0x654321;
                t.ButtonCommand(12);
            },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).TextColor, 0xFFFFFF);
                EXPECT_EQ(t.Record(0, 0, 2).BackColor, 0);
            }),
        // ---- The play list's menu (output 2, a row selected) ----
        R(
            "ListDelete", "a selected row", "the row is gone from view and table", [](S& t) { t.ListCommand(1, 0); },
            [](S& t) {
                EXPECT_EQ(t.Titles(), (std::vector<std::string>{"a", "c"}));
                EXPECT_EQ(t.Rows().Items.size(), 2U);
            }),
        R(
            "ListDeleteAll", "a selected row; Yes to the question", "the list is empty",
            [](S& t) { t.ListCommand(0, 1); },
            [](S& t) {
                EXPECT_THAT(t.messages, testing::Contains("Clear List?"));
                EXPECT_EQ(t.List().ItemCount(), 0);
            }),
        R(
            "ListSequenceMark", "SeqRC 1 (the item shows only then)", "the row carries the sequence mark",
            [](S& t) { t.ListCommand(1, 2); },
            [](S& t) {
                ASSERT_EQ(t.Rows().Seq.size(), 3U);
                EXPECT_EQ(t.Rows().Seq[1], 1);
                EXPECT_EQ(t.List().Value(1, 2).Text(), parms::SeqMarkText);
            },
            [](S& t) { t.Store("SeqRC", "1"); }),
        R(
            "ListStartMs", "a selected row (UseListStartMS 1)", "the monitor window shows the row's file",
            [](S& t) { t.ListCommand(2, 3); },
            [](S& t) {
                EXPECT_TRUE(t.MonitorShows(t.rows[2]));
                EXPECT_EQ(t.program->Monitor.Window()->Item().Row, 2);
            }),
        R(
            "ListEdit", "a selected row; EditApp names a program at start-up", "the editor starts with the row's file",
            [](S& t) {
                testsupport::ArgumentPipe pipe;
                t.ListCommand(0, 4);
                EXPECT_EQ(pipe.Arguments(), std::vector<std::string>{t.rows[0]});
            },
            [](S&) {}, [](S& t) { t.Store("EditApp", testsupport::HelperPath("tolv_test_argdump")); }),
        R(
            "ListPreview", "a selected row", "the monitor window shows and plays the row's file",
            [](S& t) { t.ListCommand(1, 5); },
            [](S& t) {
                EXPECT_TRUE(t.MonitorShows(t.rows[1]));
                EXPECT_EQ(t.program->Monitor.Window()->Lamp(1), 2);
            }),
        R(
            "ListShowFileInfo", "a selected row", "a message with the row's audio information",
            [](S& t) { t.ListCommand(2, 6); },
            [](S& t) {
                ASSERT_EQ(t.messages.size(), 1U);
                EXPECT_THAT(t.messages[0], testing::Not(HasSubstr("file not found")));
            }),
        R(
            "ListDeleteWithoutSelection", "no row selected: does nothing", "the rows stay",
            [](S& t) {
                t.List().UnSelectAll();
                t.List().SetSelectedItem(-1);
                t.OnMenu(t.Window().MenuRCListP, t.Window().MenuRCList->At(0));
                t.Click(t.List().ListArea(), Qt::RightButton, QPoint(20, apptest::YOfRow(t.List(), 1)));
                t.Run(parms::TimerInt);
                EXPECT_EQ(t.menus.size(), 1U);
            },
            [](S& t) { EXPECT_EQ(t.List().ItemCount(), 3); }),
        // ---- The page selector's menu ----
        R(
            "PageCopy", "", "the page is the copied one", [](S& t) { t.PageCommand(0, 0); },
            [](S& t) {
                EXPECT_EQ(t.State().CopiedPage.first, 0);
                EXPECT_EQ(t.State().CopiedPage.second, 0);
            }),
        R(
            "PagePaste", "a copied page; Yes to the question", "the other page holds the copied sounds",
            [](S& t) {
                t.PageCommand(0, 0);
                t.PageCommand(3, 1);
            },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 3, 2).FileName, t.three);
                EXPECT_EQ(t.State().CurrentPage[0], 3);
            }),
        R(
            "PageMenuWhilePlaying", "an output playing: the page menu does not open", "no menu, no page copied",
            [](S& t) {
                t.Click(S::Face(t.Button(0, 2)), Qt::LeftButton);
                t.Run(100);
                ASSERT_EQ(t.State().SomethingPlays, 1);
                t.PageCommand(0, 0);
            },
            [](S& t) {
                EXPECT_TRUE(t.menus.empty());
                EXPECT_EQ(t.State().CopiedPage.first, -1);
            }),
        // ---- The list's tool buttons ----
        R(
            "ToolDelete", "a selected row", "the row is gone",
            [](S& t) {
                t.SelectRow(0);
                t.ToolButton(0);
            },
            [](S& t) {
                EXPECT_EQ(t.Titles(), (std::vector<std::string>{"b", "c"}));
            }),
        R(
            "ToolClear", "Yes to the question", "the list is empty",
            [](S& t) {
                t.SelectRow(0);
                t.ToolButton(1);
            },
            [](S& t) { EXPECT_EQ(t.List().ItemCount(), 0); }),
        R(
            "ToolUp", "a selected row below the first", "the row moves up",
            [](S& t) {
                t.SelectRow(1);
                t.ToolButton(2);
            },
            [](S& t) {
                EXPECT_EQ(t.Titles(), (std::vector<std::string>{"b", "a", "c"}));
                EXPECT_EQ(t.Rows().Items[0].FileName, t.rows[1]);
            }),
        R(
            "ToolDown", "a selected row above the last", "the row moves down",
            [](S& t) {
                t.SelectRow(1);
                t.ToolButton(3);
            },
            [](S& t) {
                EXPECT_EQ(t.Titles(), (std::vector<std::string>{"a", "c", "b"}));
            }),
        // ---- The menu bar ----
        R(
            "FileOpen", "an assign table chosen in the dialog", "its sounds are on the buttons",
            [](S& t) {
                const std::string table = t.sounds / ("show." + t.State().TlvExtention);
                std::ofstream(table, std::ios::binary)
                    << "\"Button_01-005\",\"" << t.other << "\",\"0\",\"0\",\"&H0\",\"&H0\"\r\n";
                platform::SetFileDialogAnswer([table](const platform::FileDialogRequest&) { return table; });
                t.Window().MenuFile->At(0)->trigger();
            },
            [](S& t) {
                EXPECT_EQ(t.State().CurrentFileTitle, "show");
                EXPECT_EQ(t.Record(0, 0, 4).FileName, t.other);
            }),
        R(
            "FileSaveAs", "a name chosen in the dialog", "the file holds the assignments",
            [](S& t) {
                const std::string table = t.sounds / ("saved." + t.State().TlvExtention);
                platform::SetFileDialogAnswer([table](const platform::FileDialogRequest&) { return table; });
                t.Window().MenuFile->At(1)->trigger();
            },
            [](S& t) {
                std::ifstream in(t.sounds / ("saved." + t.State().TlvExtention), std::ios::binary);
                const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
                EXPECT_THAT(text, HasSubstr(t.three));
                EXPECT_THAT(text, HasSubstr(t.rows[0]));
            }),
        R(
            "FileBackUp", "a folder chosen; No to clearing it", "the assign table and sounds are copied there",
            [](S& t) {
                platform::SetFolderDialogAnswer(
                    [&t](const platform::FolderDialogRequest&) { return t.folder / "backup"; });
                fs::create_directories(t.folder / "backup");
                t.messageAnswer = platform::IdNo;
                t.Window().MenuFile->At(2)->trigger();
                t.Run(2000);
            },
            [](S& t) { EXPECT_FALSE(fs::is_empty(t.folder / "backup")); }),
        R(
            "ToolClearAll", "Yes to the question", "every button and row is empty",
            [](S& t) { t.Window().MenuTool->At(0)->trigger(); },
            [](S& t) {
                EXPECT_EQ(t.Record(0, 0, 2).FileName, "");
                EXPECT_EQ(t.List().ItemCount(), 0);
            }),
        R(
            "ToolMixer", "MixerApp names a program", "the mixer starts",
            [](S& t) {
                testsupport::ArgumentPipe pipe;
                basic::SaveSetting("MixerApp", testsupport::HelperPath("tolv_test_argdump"));
                t.Window().MenuTool->At(1)->trigger();
                EXPECT_EQ(pipe.Arguments(), std::vector<std::string>());
            },
            [](S&) {}),
        R(
            "CacheUpdate", "", "a message or log line about the cache",
            [](S& t) { t.Window().MenuCache->At(0)->trigger(); },
            [](S& t) { EXPECT_FALSE(t.messages.empty() && t.DayLogEntries().empty()); }),
        R(
            "CacheCleanUnused", "", "the question, or the refusal of the cache folder",
            [](S& t) { t.Window().MenuCache->At(1)->trigger(); }, [](S& t) { EXPECT_FALSE(t.messages.empty()); }),
        R(
            "CacheClearAll", "", "the question, or the refusal of the cache folder",
            [](S& t) { t.Window().MenuCache->At(2)->trigger(); }, [](S& t) { EXPECT_FALSE(t.messages.empty()); }),
        R(
            "DisplaySize", "", "the big display is on",
            [](S& t) {
                t.Window().MenuDispBig->trigger();
                t.Run(1000);
            },
            [](S& t) { EXPECT_EQ(t.State().DispBig, 1); }),
        R(
            "Configuration", "", "the configuration dialog shows (cancelled)",
            [](S& t) {
                bool shown = false;
                QTimer poll;
                QObject::connect(&poll, &QTimer::timeout, [&] {
                    FrmConf* dialog = t.program->Config.Window();
                    if (dialog == nullptr || shown) {
                        return;
                    }
                    if (!dialog->PageLoaded(0)) {
                        t.Advance(50);
                        return;
                    }
                    shown = dialog->isVisible();
                    int cancel = 1;
                    dialog->OKCancelButtons().ButtonClicked(cancel);
                });
                poll.start(1);
                t.Window().MenuConf->trigger();
                EXPECT_TRUE(shown);
            },
            [](S& t) { EXPECT_EQ(t.program->Config.Window(), nullptr); }),
        R(
            "Editor", "EditApp names a program", "the editor starts without a file",
            [](S& t) {
                testsupport::ArgumentPipe pipe;
                parms::EditApp = testsupport::HelperPath("tolv_test_argdump");
                t.Window().MenuEditor->trigger();
                EXPECT_EQ(pipe.Arguments(), std::vector<std::string>());
            },
            [](S&) {}),
        R(
            "Help", "the desktop's opener (a stand-in in PATH)", "the help file is handed to it",
            [](S& t) {
                testsupport::ArgumentPipe pipe;
                t.FakeProgramInPath("xdg-open");
                t.Window().MenuHelp->At(0)->trigger();
                const auto arguments = pipe.Arguments();
                ASSERT_TRUE(arguments.has_value());
                ASSERT_EQ(arguments->size(), 1U);
                EXPECT_THAT(arguments->front(), HasSubstr("tolv_help_eng.txt"));
            },
            [](S&) {}),
        R(
            "Uninstall", "No to the question", "the question, and nothing removed",
            [](S& t) {
                t.messageAnswer = platform::IdNo;
                t.Window().MenuHelp->At(1)->trigger();
            },
            [](S& t) {
                EXPECT_THAT(t.messages, testing::Contains("Uninstall the tolv?"));
                EXPECT_EQ(t.State().Running, 1);
            }),
        R(
            "Version", "", "the version box", [](S& t) { t.Window().MenuHelp->At(2)->trigger(); },
            [](S& t) {
                ASSERT_EQ(t.messages.size(), 1U);
                EXPECT_THAT(t.messages[0], HasSubstr("version"));
            }),
        R(
            "Close", "", "the window unloads and the program ends",
            [](S& t) {
                bool ended = false;
                t.program->AfterEnd = [&ended] { ended = true; };
                t.Window().MenuClose->trigger();
                EXPECT_TRUE(ended);
            },
            [](S& t) { EXPECT_TRUE(t.Window().Ended()); }),
    };
}

class SweepRow : public Sweep, public testing::WithParamInterface<std::size_t> {
protected:
    void TearDown() override
    {
        if (!savedPath.empty()) {
            setenv("PATH", savedPath.c_str(), 1);
        }
        Sweep::TearDown();
    }
};

TEST_P(SweepRow, HasItsEffect)
{
    const Row row = Table().at(GetParam());
    SCOPED_TRACE(std::string(row.item) + " (needs: " + row.needs + "; seen: " + row.effect + ")");
    if (row.before) {
        row.before(*this);
    }
    ASSERT_TRUE(StartShow());
    messages.clear();
    row.perform(*this);
    row.check(*this);
}

INSTANTIATE_TEST_SUITE_P(EveryItem, SweepRow, testing::Range<std::size_t>(0, Table().size()),
                         [](const testing::TestParamInfo<std::size_t>& row) {
                             return std::string(Table().at(row.param).item);
                         });

} // namespace
