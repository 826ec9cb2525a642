#include "foundation/SessionValues.h"

namespace basic {

std::string CurrentQuorUser;
std::int32_t CurrentQuorUserGroup = 0;
std::int32_t SessionIndex = 0;
std::string UIFontName;

} // namespace basic
