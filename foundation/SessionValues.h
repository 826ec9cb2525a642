#pragma once

#include <cstdint>
#include <string>

// Who runs the program and which of its side-by-side sessions this is. The
// start-up fills them once; every later part reads them.
namespace basic {

// The logged-on user and group as outside tools wrote them into the registry
// section "common" ("" and 0 when nobody is logged on).
extern std::string CurrentQuorUser;
extern std::int32_t CurrentQuorUserGroup;

// 0..3: the session this instance runs as (0 is named after the program);
// -1 while the start-up is still looking for a free one.
extern std::int32_t SessionIndex;

// Face of the owner-drawn controls: "" for their own default, "メイリオ"
// with the setting AltFont 1.
extern std::string UIFontName;

} // namespace basic
