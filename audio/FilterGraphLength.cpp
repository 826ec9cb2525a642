#include "audio/FilterGraphLength.h"

void FilterGraphLength::Install()
{
    FCT_AudioInf::SetAudioLengthPlayerFactory([] { return std::make_unique<FilterGraphLength>(); });
}
