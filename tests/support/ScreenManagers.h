#pragma once

// Who manages the screen of the suite's X server (Xvfb), asked on an X
// connection of the test's own: the X server does not redirect a client's
// requests to itself, so a stand-in window manager cannot share the
// toolkit's connection. libxcb is looked up at run time, as the toolkit's
// X11 plugin loaded it, so the build needs no X library.
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <dlfcn.h>
#include <poll.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace testsupport {

// An X connection of the test's own.
class OwnXConnection {
public:
    OwnXConnection()
    {
        void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
        if (library == nullptr) {
            why_ = "libxcb is not loaded (the toolkit does not run on X11)";
            return;
        }
        const bool complete = Find(library, "xcb_connect", connect_) & Find(library, "xcb_disconnect", disconnect_) &
                              Find(library, "xcb_connection_has_error", hasError_) &
                              Find(library, "xcb_get_setup", getSetup_) &
                              Find(library, "xcb_setup_roots_iterator", roots_) &
                              Find(library, "xcb_intern_atom", internAtom_) &
                              Find(library, "xcb_intern_atom_reply", internAtomReply_) &
                              Find(library, "xcb_get_selection_owner", getOwner_) &
                              Find(library, "xcb_get_selection_owner_reply", getOwnerReply_) &
                              Find(library, "xcb_change_window_attributes_checked", changeAttributes_) &
                              Find(library, "xcb_request_check", requestCheck_) &
                              Find(library, "xcb_poll_for_event", pollForEvent_) &
                              Find(library, "xcb_map_window_checked", mapWindow_) &
                              Find(library, "xcb_unmap_window_checked", unmapWindow_) &
                              Find(library, "xcb_get_input_focus", getInputFocus_) &
                              Find(library, "xcb_poll_for_reply", pollForReply_) &
                              Find(library, "xcb_get_file_descriptor", fileDescriptor_) &
                              Find(library, "xcb_flush", flush_);
        dlclose(library);
        if (!complete) {
            why_ = "libxcb lacks a function";
            return;
        }
        connection_ = connect_(nullptr, nullptr);
        if (hasError_(connection_) != 0) {
            why_ = "no X server to connect to";
            disconnect_(connection_);
            connection_ = nullptr;
            return;
        }
        root_ = roots_(getSetup_(connection_)).data->root;
    }
    ~OwnXConnection() { Close(); }
    OwnXConnection(const OwnXConnection&) = delete;
    OwnXConnection& operator=(const OwnXConnection&) = delete;

    bool Ready() const { return connection_ != nullptr; }
    const std::string& Why() const { return why_; }

    // True while a window manager owns the screen (the WM_S0 selection has
    // an owner: it goes with the window manager's connection).
    bool WindowManagerOwnsTheScreen()
    {
        if (!Ready()) {
            return false;
        }
        constexpr std::string_view name = "WM_S0";
        xcb_intern_atom_reply_t* atom = internAtomReply_(
            connection_, internAtom_(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()), nullptr);
        if (atom == nullptr) {
            return false;
        }
        xcb_get_selection_owner_reply_t* owner =
            getOwnerReply_(connection_, getOwner_(connection_, atom->atom), nullptr);
        const bool owned = owner != nullptr && owner->owner != XCB_WINDOW_NONE;
        std::free(owner);
        std::free(atom);
        return owned;
    }

    // Takes the windows' map, configure and resize requests, as a window
    // manager does; false when another client has them.
    bool RedirectTheScreen()
    {
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t* error =
            requestCheck_(connection_, changeAttributes_(connection_, root_, XCB_CW_EVENT_MASK, &mask));
        std::free(error);
        return error == nullptr;
    }

    // The map requests of window (its X id) that have come so far; every
    // other event is read and dropped.
    int MapRequestsFor(std::uint32_t window)
    {
        while (xcb_generic_event_t* event = pollForEvent_(connection_)) {
            if ((event->response_type & 0x7F) == XCB_MAP_REQUEST) {
                mapRequests_ += As<xcb_map_request_event_t>(event).window == window ? 1 : 0;
            }
            std::free(event);
        }
        return mapRequests_;
    }

    // Maps a window as a window manager answers its map request.
    void Map(std::uint32_t window)
    {
        std::free(requestCheck_(connection_, mapWindow_(connection_, window)));
    }

    // Unmaps a window as a window manager that lets go of it.
    void Unmap(std::uint32_t window)
    {
        std::free(requestCheck_(connection_, unmapWindow_(connection_, window)));
    }

    // Asks the server a question that needs nobody else and waits up to ms
    // for the answer. False while another client holds the server grabbed
    // (or the server is that slow): the question stays asked, and a later
    // call waits for its answer first.
    bool ServerAnswersWithin(int ms)
    {
        if (!Ready()) {
            return false;
        }
        if (!asked_) {
            question_ = getInputFocus_(connection_).sequence;
            flush_(connection_);
            asked_ = true;
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (pollForReply_(connection_, question_, &reply, &error) != 0 || hasError_(connection_) != 0) {
                std::free(reply);
                std::free(error);
                asked_ = false;
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            pollfd readable{fileDescriptor_(connection_), POLLIN, 0};
            poll(&readable, 1, static_cast<int>(left.count()));
        }
    }

    // Ends the connection: whatever it redirected goes unanswered.
    void Close()
    {
        if (connection_ != nullptr) {
            disconnect_(connection_);
            connection_ = nullptr;
        }
    }

protected:
    template <class F> static bool Find(void* library, const char* name, F& target)
    {
        void* symbol = dlsym(library, name);
        std::memcpy(&target, &symbol, sizeof target);
        return symbol != nullptr;
    }

    // The event of the kind the stand-ins look for, copied out of the
    // generic event xcb gives.
    template <class Event> static Event As(const xcb_generic_event_t* event)
    {
        Event copy{};
        std::memcpy(&copy, event, sizeof copy);
        return copy;
    }

    std::string why_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    int mapRequests_ = 0;
    bool asked_ = false;
    unsigned int question_ = 0;
    decltype(&xcb_connect) connect_ = nullptr;
    decltype(&xcb_disconnect) disconnect_ = nullptr;
    decltype(&xcb_connection_has_error) hasError_ = nullptr;
    decltype(&xcb_get_setup) getSetup_ = nullptr;
    decltype(&xcb_setup_roots_iterator) roots_ = nullptr;
    decltype(&xcb_intern_atom) internAtom_ = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply_ = nullptr;
    decltype(&xcb_get_selection_owner) getOwner_ = nullptr;
    decltype(&xcb_get_selection_owner_reply) getOwnerReply_ = nullptr;
    decltype(&xcb_change_window_attributes_checked) changeAttributes_ = nullptr;
    decltype(&xcb_request_check) requestCheck_ = nullptr;
    decltype(&xcb_poll_for_event) pollForEvent_ = nullptr;
    decltype(&xcb_map_window_checked) mapWindow_ = nullptr;
    decltype(&xcb_unmap_window_checked) unmapWindow_ = nullptr;
    decltype(&xcb_get_input_focus) getInputFocus_ = nullptr;
    decltype(&xcb_poll_for_reply) pollForReply_ = nullptr;
    decltype(&xcb_get_file_descriptor) fileDescriptor_ = nullptr;
    decltype(&xcb_flush) flush_ = nullptr;
};

} // namespace testsupport
