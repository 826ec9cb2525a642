#pragma once

#include <string_view>

// Headers are read again on every page draw and list refresh: a file with an
// unusable format is logged the first time it is seen, not on every read. A
// small bounded memory of the names already logged keeps that true for the
// files a session meets without growing with them.
namespace WaveMMIO {

// Writes text to the error log unless fileName was logged recently.
void LogUnusableFormatOnce(std::string_view fileName, std::string_view text);

// Forgets every name (for tests that count log lines).
void ForgetLoggedFormats();

} // namespace WaveMMIO
