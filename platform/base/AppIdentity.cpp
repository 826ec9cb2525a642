#include "platform/base/AppIdentity.h"

namespace App {

const char* const Title = "tolv";
const char* const CompanyName = "Quorvant";
const int Major = TOLV_VERSION_MAJOR;
const int Minor = TOLV_VERSION_MINOR;
const int Revision = TOLV_VERSION_PATCH;

} // namespace App
