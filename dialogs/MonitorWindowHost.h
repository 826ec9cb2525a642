#pragma once

#include "mainwindow/ports/MonitorWindowPort.h"

#include <string>
#include <string_view>

class QWidget;

// What the monitor window calls of the main window.
class MonitorWindowHost {
public:
    virtual ~MonitorWindowHost() = default;
    // The local cache name of a server path.
    virtual std::string GetLocalFilename(std::string_view path) = 0;
    // Opens the file of the item the window was opened for in the editor
    // program (EditApp).
    virtual void EditSound(const MonitorItem& item) = 0;
    // Takes the edit of parms::MonitorExchange back into item: OK with a
    // file, Delete with MonitorFile "". Refuses, with a message owned by
    // owner, when the item no longer holds the file it was opened for.
    virtual void TakeBack(const MonitorItem& item, QWidget* owner) = 0;
};
