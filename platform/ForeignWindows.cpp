#include "platform/ForeignWindows.h"

#include "platform/LoadedXcb.h"
#include "platform/base/LogSink.h"

#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <xcb/xcb.h>

namespace platform {

namespace {

// The functions of libxcb and the connection they are called on.
struct Xcb : XcbFunctions {
    xcb_connection_t* connection = nullptr;
};

// The X11 connection of the program, or none when it does not run on X11.
std::optional<Xcb> Connect()
{
    const XcbFunctions* functions = LoadedXcb();
    if (functions == nullptr) {
        return std::nullopt;
    }
    Xcb xcb;
    static_cast<XcbFunctions&>(xcb) = *functions;
    xcb.connection = XcbConnection();
    return xcb;
}

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

xcb_atom_t Atom(const Xcb& xcb, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb.internAtom(xcb.connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, FreeReply> reply(
        xcb.internAtomReply(xcb.connection, cookie, nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

xcb_window_t Root(const Xcb& xcb)
{
    const xcb_setup_t* setup = xcb.getSetup(xcb.connection);
    return setup != nullptr ? xcb.rootsIterator(setup).data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// The bytes of a property, at most maxBytes.
std::string Property(const Xcb& xcb, xcb_window_t window, xcb_atom_t property, xcb_atom_t type, std::uint32_t maxBytes)
{
    const xcb_get_property_cookie_t cookie =
        xcb.getProperty(xcb.connection, 0, window, property, type, 0, (maxBytes + 3) / 4);
    const std::unique_ptr<xcb_get_property_reply_t, FreeReply> reply(
        xcb.getPropertyReply(xcb.connection, cookie, nullptr));
    if (!reply) {
        return {};
    }
    const int length = xcb.propertyValueLength(reply.get());
    if (length <= 0) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb.propertyValue(reply.get())), static_cast<std::size_t>(length));
}

constexpr std::uint32_t MaxClients = 4096;
constexpr std::uint32_t MaxTitleBytes = 4096;

} // namespace

std::optional<ForeignWindow> FindTopLevelWindow(std::string_view title)
{
    const std::optional<Xcb> xcb = Connect();
    if (!xcb || title.empty()) {
        return std::nullopt;
    }
    const xcb_atom_t clientList = Atom(*xcb, "_NET_CLIENT_LIST");
    const xcb_atom_t netName = Atom(*xcb, "_NET_WM_NAME");
    const xcb_atom_t utf8 = Atom(*xcb, "UTF8_STRING");
    const xcb_window_t root = Root(*xcb);
    if (clientList == XCB_ATOM_NONE || root == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const std::string list = Property(*xcb, root, clientList, XCB_ATOM_WINDOW, MaxClients * 4);
    std::vector<xcb_window_t> windows(list.size() / sizeof(xcb_window_t));
    std::memcpy(windows.data(), list.data(), windows.size() * sizeof(xcb_window_t));
    for (const xcb_window_t window : windows) {
        std::string name;
        if (netName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
            name = Property(*xcb, window, netName, utf8, MaxTitleBytes);
        }
        if (name.empty()) {
            name = Property(*xcb, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, MaxTitleBytes);
        }
        if (name == title) {
            return window;
        }
    }
    return std::nullopt;
}

bool ActivateTopLevelWindow(ForeignWindow window)
{
    const std::optional<Xcb> xcb = Connect();
    if (!xcb) {
        return false;
    }
    const xcb_atom_t activeWindow = Atom(*xcb, "_NET_ACTIVE_WINDOW");
    const xcb_window_t root = Root(*xcb);
    if (activeWindow == XCB_ATOM_NONE || root == XCB_WINDOW_NONE) {
        return false;
    }
    // The message a pager sends, which window managers honour more readily
    // than a program's own request.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = activeWindow;
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    char bytes[32] = {};
    static_assert(sizeof(event) == sizeof(bytes));
    std::memcpy(bytes, &event, sizeof(bytes));
    xcb->sendEvent(xcb->connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   bytes);
    xcb->flush(xcb->connection);
    return true;
}

bool IsForegroundWindow(const QWidget& window)
{
    return window.isActiveWindow();
}

} // namespace platform
