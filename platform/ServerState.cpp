#include "platform/ServerState.h"

#include "platform/LoadedXcb.h"

#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <xcb/xcb.h>

namespace platform {

namespace {

using Xcb = XcbFunctions;

struct Free {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T> using Reply = std::unique_ptr<T, Free>;

// A reply, with an error of the request (a window gone meanwhile) freed
// here rather than reported as the toolkit's error.
template <class T, class Cookie, class Get> Reply<T> Ask(xcb_connection_t* connection, Cookie cookie, Get get)
{
    xcb_generic_error_t* error = nullptr;
    Reply<T> reply(get(connection, cookie, &error));
    std::free(error);
    return reply;
}

// An atom the platform layer reads, interned once per connection.
class CachedAtom {
public:
    explicit constexpr CachedAtom(std::string_view name) : name_(name) {}

    xcb_atom_t Get(const Xcb& xcb, xcb_connection_t* connection)
    {
        if (askedOn_ != connection) {
            const auto reply = Ask<xcb_intern_atom_reply_t>(
                connection,
                xcb.internAtom(connection, 0, static_cast<std::uint16_t>(name_.size()), name_.data()),
                xcb.internAtomReply);
            atom_ = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
            askedOn_ = connection;
        }
        return atom_;
    }

private:
    std::string_view name_;
    xcb_connection_t* askedOn_ = nullptr;
    xcb_atom_t atom_ = XCB_ATOM_NONE;
};

// The frame a window manager publishes.
CachedAtom frameExtents("_NET_FRAME_EXTENTS");
// What a window manager that manages a window says of it (normal, iconic).
CachedAtom wmState("WM_STATE");

// The X window of a top-level window, with the connection and libxcb to ask
// about it; none off X11 or before the window exists on the server.
struct ServerWindow {
    xcb_connection_t* connection = nullptr;
    const Xcb* xcb = nullptr;
    xcb_window_t id = XCB_WINDOW_NONE;
};

std::optional<ServerWindow> ServerWindowOf(const QWidget& window)
{
    xcb_connection_t* connection = XcbConnection();
    const Xcb* xcb = connection != nullptr ? LoadedXcb() : nullptr;
    if (xcb == nullptr || !window.testAttribute(Qt::WA_WState_Created) || !window.isWindow()) {
        return std::nullopt;
    }
    return ServerWindow{connection, xcb, static_cast<xcb_window_t>(window.internalWinId())};
}

// The frame the window manager says it drew (left, right, top, bottom).
std::optional<QMargins> PublishedExtents(const Xcb& xcb, xcb_connection_t* connection, xcb_window_t window)
{
    const xcb_atom_t extentsAtom = frameExtents.Get(xcb, connection);
    if (extentsAtom == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const auto reply = Ask<xcb_get_property_reply_t>(
        connection, xcb.getProperty(connection, 0, window, extentsAtom, XCB_ATOM_CARDINAL, 0, 4),
        xcb.getPropertyReply);
    if (!reply || reply->format != 32 || xcb.propertyValueLength(reply.get()) != 16) {
        return std::nullopt;
    }
    std::uint32_t extents[4] = {};
    std::memcpy(extents, xcb.propertyValue(reply.get()), sizeof extents);
    const auto side = [](std::uint32_t value) { return static_cast<int>(std::min<std::uint32_t>(value, 4096)); };
    return QMargins(side(extents[0]), side(extents[2]), side(extents[1]), side(extents[3]));
}

} // namespace

std::optional<QMargins> ServerFrameMargins(const QWidget& window)
{
    const std::optional<ServerWindow> server = ServerWindowOf(window);
    if (!server) {
        return std::nullopt;
    }
    xcb_connection_t* connection = server->connection;
    const Xcb* xcb = server->xcb;
    const xcb_window_t id = server->id;
    const auto tree = Ask<xcb_query_tree_reply_t>(connection, xcb->queryTree(connection, id), xcb->queryTreeReply);
    if (!tree) {
        return std::nullopt;
    }
    if (tree->parent == tree->root) {
        // Not reparented: no window manager frames it now, whatever frame
        // extents one left behind.
        return QMargins();
    }
    if (const std::optional<QMargins> published = PublishedExtents(*xcb, connection, id)) {
        return published;
    }
    // A window manager that does not publish its frame: the outermost
    // window around the inside is the frame, once it is on the screen. One
    // that takes over a window already shown reparents it first and builds
    // its frame around it after: until the frame is shown, it is not known.
    const auto attributes =
        Ask<xcb_get_window_attributes_reply_t>(connection, xcb->getWindowAttributes(connection, id),
                                               xcb->getWindowAttributesReply);
    if (!attributes || attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
        return std::nullopt;
    }
    xcb_window_t frame = tree->parent;
    for (int depth = 0; depth < 8; ++depth) {
        const auto up = Ask<xcb_query_tree_reply_t>(connection, xcb->queryTree(connection, frame), xcb->queryTreeReply);
        if (!up || up->parent == up->root) {
            break;
        }
        frame = up->parent;
    }
    const auto outer =
        Ask<xcb_get_geometry_reply_t>(connection, xcb->getGeometry(connection, frame), xcb->getGeometryReply);
    const auto inner = Ask<xcb_get_geometry_reply_t>(connection, xcb->getGeometry(connection, id), xcb->getGeometryReply);
    const auto at = Ask<xcb_translate_coordinates_reply_t>(connection, xcb->translate(connection, id, frame, 0, 0),
                                                           xcb->translateReply);
    if (!outer || !inner || !at) {
        return std::nullopt;
    }
    const int border = outer->border_width;
    const int left = border + at->dst_x;
    const int top = border + at->dst_y;
    const int right = border + outer->width - inner->width - at->dst_x;
    const int bottom = border + outer->height - inner->height - at->dst_y;
    return QMargins(std::max(0, left), std::max(0, top), std::max(0, right), std::max(0, bottom));
}

std::optional<bool> ServerWindowTaken(const QWidget& window)
{
    const std::optional<ServerWindow> server = ServerWindowOf(window);
    if (!server) {
        return std::nullopt;
    }
    const Xcb& xcb = *server->xcb;
    const auto attributes = Ask<xcb_get_window_attributes_reply_t>(
        server->connection, xcb.getWindowAttributes(server->connection, server->id), xcb.getWindowAttributesReply);
    if (!attributes) {
        return std::nullopt;
    }
    if (attributes->map_state != XCB_MAP_STATE_UNMAPPED) {
        return true;
    }
    const xcb_atom_t stateAtom = wmState.Get(xcb, server->connection);
    if (stateAtom == XCB_ATOM_NONE) {
        return false;
    }
    const auto state = Ask<xcb_get_property_reply_t>(
        server->connection,
        xcb.getProperty(server->connection, 0, server->id, stateAtom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
        xcb.getPropertyReply);
    return state && state->type != XCB_ATOM_NONE;
}

void ServerMapAgain(const QWidget& window)
{
    if (const std::optional<ServerWindow> server = ServerWindowOf(window)) {
        server->xcb->mapWindow(server->connection, server->id);
        server->xcb->flush(server->connection);
    }
}

std::optional<ServerKeymap> ServerKeysDown()
{
    xcb_connection_t* connection = XcbConnection();
    const Xcb* xcb = connection != nullptr ? LoadedXcb() : nullptr;
    if (xcb == nullptr) {
        return std::nullopt;
    }
    const auto reply =
        Ask<xcb_query_keymap_reply_t>(connection, xcb->queryKeymap(connection), xcb->queryKeymapReply);
    if (!reply) {
        return std::nullopt;
    }
    ServerKeymap keys{};
    static_assert(sizeof reply->keys == sizeof keys);
    std::memcpy(keys.data(), reply->keys, keys.size());
    return keys;
}

std::optional<std::uintptr_t> ServerKeyboardFocus()
{
    xcb_connection_t* connection = XcbConnection();
    const Xcb* xcb = connection != nullptr ? LoadedXcb() : nullptr;
    if (xcb == nullptr) {
        return std::nullopt;
    }
    const auto reply =
        Ask<xcb_get_input_focus_reply_t>(connection, xcb->getInputFocus(connection), xcb->getInputFocusReply);
    if (!reply) {
        return std::nullopt;
    }
    return reply->focus;
}

} // namespace platform
