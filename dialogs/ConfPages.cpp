#include "dialogs/ConfPages.h"

#include "dialogs/ConfPage.h"
#include "dialogs/ConfPageButton.h"
#include "dialogs/ConfPageCache.h"
#include "dialogs/ConfPageData.h"
#include "dialogs/ConfPageDisp.h"
#include "dialogs/ConfPageIndicator.h"
#include "dialogs/ConfPageList.h"
#include "dialogs/ConfPagePage.h"
#include "dialogs/ConfPagePlayer.h"
#include "dialogs/ConfPageRemote.h"
#include "dialogs/ConfPageSound.h"
#include "dialogs/ConfPageTip.h"
#include "dialogs/ConfPageUser.h"

ConfPage* MakeConfPage(int index, QWidget* parent)
{
    switch (index) {
    case 0:
        return new ConfPagePlayer(parent);
    case 1:
        return new ConfPageData(parent);
    case 2:
        return new ConfPageSound(parent);
    case 3:
        return new ConfPageCache(parent);
    case 4:
        return new ConfPageTip(parent);
    case 5:
        return new ConfPageUser(parent);
    case 6:
        return new ConfPageDisp(parent);
    case 7:
        return new ConfPageButton(parent);
    case 8:
        return new ConfPageList(parent);
    case 9:
        return new ConfPagePage(parent);
    case 10:
        return new ConfPageIndicator(parent);
    case 11:
        return new ConfPageRemote(parent);
    default:
        return new ConfPage(parent);
    }
}
