#include "dialogs/ConfPageUser.h"

#include "foundation/Language.h"
#include "platform/ComboBox.h"

void ConfPageUser::BuildControls()
{
    constexpr double controls = 2400;
    Check("NeedLogOn", basic::LangText("ログオンが必要", "Need Logon"), controls, 262, 3000);
    Label(basic::LangText("ユーザー制限", "User Manage"),
          IndexCombo("UseTlvUser",
                     {basic::LangText("しない", "Never"), basic::LangText("書き込み制限", "Lock Write"),
                      basic::LangText("読み書き制限", "Lock Read Write")},
                     controls, 645, 2400));
}
