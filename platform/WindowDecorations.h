#pragma once

class QWidget;

namespace platform {

// Asks the window manager to leave the close button off the window's title
// bar (its other buttons stay). Window managers may still offer a close
// command elsewhere; refusing such a request is the close handler's job.
void RemoveCloseButton(QWidget& window);

} // namespace platform
