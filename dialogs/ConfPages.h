#pragma once

class ConfPage;
class QWidget;

// Makes the page of the configuration dialog with the given index (0..11)
// as a child of parent, not yet built; another index gives an empty page.
ConfPage* MakeConfPage(int index, QWidget* parent);
