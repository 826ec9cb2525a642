#pragma once

#include <string>
#include <vector>

// The font size and the text top at which the texts a status panel may show
// are drawn whole: their ink inside the panel's frame and centred between its
// top and bottom lines, whatever the face's ascent and descent leave empty.
namespace CaptionFit {

struct Fit {
    float Size = 0;   // points
    double Top = 0;   // twips from the panel's top edge
    double Width = 0; // twips: the widest text at Size
};

// The largest size up to size (the face given, "" for the interface font) at
// which every text is at most roomWidth wide (twips) and its ink fits the
// panel of panelHeight twips within its frame of frameLines pixels; and the
// top that centres the texts' ink. Below the smallest size tried the texts
// take that size, centred.
Fit Fitting(float size, const std::vector<std::string>& texts, const std::string& face, double roomWidth,
            double panelHeight, int frameLines);

} // namespace CaptionFit
