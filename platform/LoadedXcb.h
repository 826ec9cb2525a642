#pragma once

#include <xcb/xcb.h>

// libxcb as Qt's X11 platform loaded it: the program does not link it, so on
// any other desktop nothing of it is needed.
namespace platform {

// The functions of libxcb the platform layer calls.
struct XcbFunctions {
    decltype(&xcb_get_setup) getSetup = nullptr;
    decltype(&xcb_setup_roots_iterator) rootsIterator = nullptr;
    decltype(&xcb_query_tree) queryTree = nullptr;
    decltype(&xcb_query_tree_reply) queryTreeReply = nullptr;
    decltype(&xcb_get_geometry) getGeometry = nullptr;
    decltype(&xcb_get_geometry_reply) getGeometryReply = nullptr;
    decltype(&xcb_translate_coordinates) translate = nullptr;
    decltype(&xcb_translate_coordinates_reply) translateReply = nullptr;
    decltype(&xcb_intern_atom) internAtom = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&xcb_get_property) getProperty = nullptr;
    decltype(&xcb_get_property_reply) getPropertyReply = nullptr;
    decltype(&xcb_get_property_value) propertyValue = nullptr;
    decltype(&xcb_get_property_value_length) propertyValueLength = nullptr;
    decltype(&xcb_query_keymap) queryKeymap = nullptr;
    decltype(&xcb_query_keymap_reply) queryKeymapReply = nullptr;
    decltype(&xcb_get_input_focus) getInputFocus = nullptr;
    decltype(&xcb_get_input_focus_reply) getInputFocusReply = nullptr;
    decltype(&xcb_get_window_attributes) getWindowAttributes = nullptr;
    decltype(&xcb_get_window_attributes_reply) getWindowAttributesReply = nullptr;
    decltype(&xcb_map_window) mapWindow = nullptr;
    decltype(&xcb_send_event) sendEvent = nullptr;
    decltype(&xcb_flush) flush = nullptr;
};

// The functions, resolved once for the process; null off X11, or when the
// library lacks one of them (logged once).
const XcbFunctions* LoadedXcb();

// The program's X11 connection; null off X11.
xcb_connection_t* XcbConnection();

} // namespace platform
