#pragma once

class ConfPage;
class QWidget;

// Makes the page of the configuration dialog with the given index (0..11)
// as a child of parent, not yet built. A page that has no controls yet is an
// empty page. Adding a page: a ConfPage subclass with its BuildControls, and
// its case here.
ConfPage* MakeConfPage(int index, QWidget* parent);
