#include "platform/LoadedXcb.h"

#include "platform/base/LogSink.h"

#include <QGuiApplication>

#include <cstring>
#include <dlfcn.h>
#include <optional>

namespace platform {

namespace {

// Sets target to the function name of library (null when it lacks it).
template <class F> bool Resolve(void* library, const char* name, F& target)
{
    // dlsym gives an object pointer; POSIX guarantees it converts.
    void* symbol = dlsym(library, name);
    static_assert(sizeof(symbol) == sizeof(target));
    std::memcpy(&target, &symbol, sizeof(target));
    return symbol != nullptr;
}

std::optional<XcbFunctions> Load()
{
    void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
    if (library == nullptr) {
        return std::nullopt;
    }
    XcbFunctions xcb;
    const bool complete =
        Resolve(library, "xcb_get_setup", xcb.getSetup) &
        Resolve(library, "xcb_setup_roots_iterator", xcb.rootsIterator) &
        Resolve(library, "xcb_query_tree", xcb.queryTree) &
        Resolve(library, "xcb_query_tree_reply", xcb.queryTreeReply) &
        Resolve(library, "xcb_get_geometry", xcb.getGeometry) &
        Resolve(library, "xcb_get_geometry_reply", xcb.getGeometryReply) &
        Resolve(library, "xcb_translate_coordinates", xcb.translate) &
        Resolve(library, "xcb_translate_coordinates_reply", xcb.translateReply) &
        Resolve(library, "xcb_intern_atom", xcb.internAtom) &
        Resolve(library, "xcb_intern_atom_reply", xcb.internAtomReply) &
        Resolve(library, "xcb_get_property", xcb.getProperty) &
        Resolve(library, "xcb_get_property_reply", xcb.getPropertyReply) &
        Resolve(library, "xcb_get_property_value", xcb.propertyValue) &
        Resolve(library, "xcb_get_property_value_length", xcb.propertyValueLength) &
        Resolve(library, "xcb_query_keymap", xcb.queryKeymap) &
        Resolve(library, "xcb_query_keymap_reply", xcb.queryKeymapReply) &
        Resolve(library, "xcb_get_input_focus", xcb.getInputFocus) &
        Resolve(library, "xcb_get_input_focus_reply", xcb.getInputFocusReply) &
        Resolve(library, "xcb_get_window_attributes", xcb.getWindowAttributes) &
        Resolve(library, "xcb_get_window_attributes_reply", xcb.getWindowAttributesReply) &
        Resolve(library, "xcb_map_window", xcb.mapWindow) & Resolve(library, "xcb_send_event", xcb.sendEvent) & Resolve(library, "xcb_flush", xcb.flush);
    // The library stays loaded with Qt's platform plugin; this handle only
    // counted one more reference.
    dlclose(library);
    if (!complete) {
        Log("X11: libxcb lacks a function the program calls; window frames, focus and other windows are not asked");
        return std::nullopt;
    }
    return xcb;
}

} // namespace

const XcbFunctions* LoadedXcb()
{
    if (XcbConnection() == nullptr) {
        return nullptr;
    }
    static const std::optional<XcbFunctions> functions = Load();
    return functions ? &*functions : nullptr;
}

xcb_connection_t* XcbConnection()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* x11 = application != nullptr ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace platform
