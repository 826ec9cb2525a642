#include "dialogs/ConfPages.h"

#include "dialogs/ConfPage.h"
#include "dialogs/ConfPageCache.h"
#include "dialogs/ConfPageData.h"
#include "dialogs/ConfPagePlayer.h"
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
    default:
        // Disp, Button, List, Page, Indicator and Remote come later.
        return new ConfPage(parent);
    }
}
