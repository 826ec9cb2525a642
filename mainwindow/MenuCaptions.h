#pragma once

#include <QString>

#include <initializer_list>
#include <utility>

class MenuArray;

// Captions of menu entries in the run's language.
namespace MenuCaptions {

// The Japanese and the English caption of one entry.
using Caption = std::pair<const char*, const char*>;

// The caption of the run's language, followed by accessKey (such as "(&F)").
QString Text(const Caption& caption, const char* accessKey = "");

// Captions items 0, 1, ... of an array in order; items it lacks are skipped.
void CaptionItems(const MenuArray& array, std::initializer_list<Caption> captions);

} // namespace MenuCaptions
