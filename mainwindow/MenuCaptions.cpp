#include "mainwindow/MenuCaptions.h"

#include "foundation/Language.h"
#include "mainwindow/MenuArray.h"

namespace MenuCaptions {

QString Text(const Caption& caption, const char* accessKey)
{
    return QString::fromStdString(basic::LangText(caption.first, caption.second) + accessKey);
}

void CaptionItems(const MenuArray& array, std::initializer_list<Caption> captions)
{
    int index = 0;
    for (const Caption& caption : captions) {
        if (QAction* item = array.At(index)) {
            item->setText(Text(caption));
        }
        ++index;
    }
}

} // namespace MenuCaptions
