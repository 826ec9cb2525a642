#include "platform/base/Twips.h"

namespace basic {

int TwipsPerPixel = 0;

} // namespace basic
