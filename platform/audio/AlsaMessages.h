#pragma once

namespace platform::audio {

// libasound prints its own error messages to standard error (for a missing
// default device, a card that is gone, ...). The audio layer reports what
// matters through the log instead, so these are silenced once, before the
// first ALSA call.
void SilenceAlsaMessages();

} // namespace platform::audio
