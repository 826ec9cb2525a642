// The playback tests' fixture (the main window with playback control on
// null devices), built into this suite as well so that remote codes are
// checked against the real engine rather than a stand-in.
#include "playback/PlaybackFixture.cpp"
