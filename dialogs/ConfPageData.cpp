#include "dialogs/ConfPageData.h"

#include "controls/UC_PathText.h"
#include "foundation/Language.h"
#include "foundation/SessionValues.h"
#include "platform/ComboBox.h"
#include "platform/TextBox.h"

namespace {

constexpr double Controls = 2400;
constexpr double FolderWidth = 6000;

} // namespace

void ConfPageData::BuildControls()
{
    Label(basic::LangText("保存フォルダ", "Open/Save Folder"), Folder("TlvTxtPath", Controls, RowTop(0), FolderWidth));
    Label(basic::LangText("予備フォルダ", "Spare Folder"), Folder("TlvBackupPath", Controls, RowTop(1), FolderWidth));
    Check("ShowDlg", basic::LangText("起動時にダイアログ", "Show Dialog At Start"), Controls, RowTop(2) + 22, 3600);
    Check("OpenRemovable", basic::LangText("リムーバブルから開く", "Open Removable Drive"), Controls, RowTop(3) + 22,
          3600);
    Check("OpenLast", basic::LangText("前回のファイルを開く", "Open Last File"), Controls, RowTop(4) + 22, 3600);
    Check("Abspath", basic::LangText("絶対パスで記述", "Save Filepath To File"), Controls, RowTop(5) + 22, 3600);
    Label(basic::LangText("正;副", "Sync Drive"), Text("SyncDrive", Controls, RowTop(6), 3000));
    // Every session shares the extension; only the first may change it.
    platform::TextBox& extension = Text("TlvExtention", Controls, RowTop(7), 900, 1);
    extension.setEnabled(basic::SessionIndex == 0);
    Label(basic::LangText("ファイル拡張子", "File Extention"), extension);
    Label(basic::LangText("終了時に保存", "Auto Save"),
          IndexCombo("SaveEnd",
                     {basic::LangText("しない", "Never"), basic::LangText("する", "Always"),
                      basic::LangText("確認する", "Confirm")},
                     Controls, RowTop(8), 1800));
}
