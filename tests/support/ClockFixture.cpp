#include "support/ClockFixture.h"
