#include "dialogs/ConfPageList.h"

#include "controls/UC_Check.h"
#include "foundation/Language.h"
#include "platform/ComboBox.h"
#include "platform/PictureBox.h"

#include <array>

namespace {

// Layout, twips.
constexpr double Controls = 2100;
constexpr double CheckWidth = 2700;
constexpr double SecondColumn = 5400;

} // namespace

void ConfPageList::BuildControls()
{
    using basic::LangText;
    Colour("CurrentColor", Controls, RowTop(0) + 22, 420, CheckHeight);
    struct PlacedSwitch {
        const char* key;
        const char* japanese;
        const char* english;
        int column;
        int row;
    };
    // The colour box leads the first column; the sequence switches stand
    // together at the top of the second.
    constexpr std::array<PlacedSwitch, 12> switches{{
        {"ShowCtrl", "ツールボタン表示", "Show Tool", 0, 1},
        {"ShowCurrent", "カレント表示", "Show Current", 0, 2},
        {"ListOrderHorizon", "横並び", "Horizontal Order", 0, 3},
        {"UseListStartMS", "開始位置表示", "Show Start MS", 0, 4},
        {"UseListSeq", "機能を使用", "Show Seq", 1, 0},
        {"SeqItemType", "終了を指定", "Set SeqItem End", 1, 1},
        {"SeqRC", "をメニューから変更", "Set Seq From Menu", 1, 2},
        {"ListCtrl", "Ctrlでコピー", "Ctrl for Copy", 0, 5},
        {"CheckProg", "進度チェック", "Check Prog", 0, 6},
        {"UseListRCMenu", "右クリックメニュー", "Right Click Menu", 1, 4},
        {"ShowFmtList", "ファイル情報表示", "Show File info", 1, 5},
        {"LoopListCursor", "カーソルをループ", "Loop List Cursor", 1, 6},
    }};
    for (const PlacedSwitch& entry : switches) {
        Check(entry.key, LangText(entry.japanese, entry.english), entry.column == 0 ? Controls : SecondColumn,
              RowTop(entry.row) + 22, CheckWidth);
    }
    Label(LangText("二重再生", "Additional Play"),
          IndexCombo("ListWhilePlay",
                     {LangText("次を再生", "Play Next"), LangText("頭から再生", "Play Again"),
                      LangText("再生しない", "Nothing")},
                     Controls, RowTop(8), 1800));
}
