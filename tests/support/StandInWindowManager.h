#pragma once

// A window manager of the test's own, on a connection of its own, for what a
// real one does at a pace of its own: it frames windows with fixed sides,
// all at once when they are mapped or step by step as the test says. It
// publishes no frame extents (the frame is the window around the inside, as
// window managers that do not publish them leave it), keeps the inside where
// the toolkit asks for it (the toolkit's static gravity) and tells a window
// where it stands whenever it moved it, as a window manager must. It does
// what it is asked only when the test lets it (Serve).
#include "support/ScreenManagers.h"

#include <xcb/xcb.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>

namespace testsupport {

class StandInWindowManager : public OwnXConnection {
public:
    struct Sides {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    // A place and size on the screen (pixels).
    struct Rect {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Rect&) const = default;
        friend void PrintTo(const Rect& rect, std::ostream* out)
        {
            *out << rect.width << "x" << rect.height << " at " << rect.x << ", " << rect.y;
        }
    };

    // Takes the screen; not Ready when another window manager has it.
    explicit StandInWindowManager(Sides sides) : sides_(sides)
    {
        if (!Ready()) {
            return;
        }
        void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_NOLOAD);
        if (library == nullptr) {
            why_ = "libxcb is not loaded";
            Close();
            return;
        }
        const bool complete =
            Find(library, "xcb_generate_id", generateId_) & Find(library, "xcb_create_window_checked", createWindow_) &
            Find(library, "xcb_reparent_window_checked", reparent_) &
            Find(library, "xcb_configure_window_checked", configure_) &
            Find(library, "xcb_change_save_set_checked", changeSaveSet_) &
            Find(library, "xcb_send_event_checked", sendEvent_) & Find(library, "xcb_get_geometry", getGeometry_) &
            Find(library, "xcb_get_geometry_reply", getGeometryReply_);
        dlclose(library);
        if (!complete) {
            why_ = "libxcb lacks a function";
            Close();
        } else if (!RedirectTheScreen()) {
            why_ = "another window manager has the screen";
            Close();
        }
    }

    // From now on a window mapped is framed at once, its frame shown around
    // the inside where the window asked for it.
    void FrameWhenMapped() { frameWhenMapped_ = true; }

    // Answers the requests that came so far: a window's map request (framed
    // or mapped as it is, as said above), its configure requests (the frame
    // goes around the inside where asked), and a framed window's unmap.
    void Serve()
    {
        while (xcb_generic_event_t* event = pollForEvent_(connection_)) {
            switch (event->response_type & 0x7F) {
            case XCB_MAP_REQUEST:
                OnMapRequest(As<xcb_map_request_event_t>(event).window);
                break;
            case XCB_CONFIGURE_REQUEST:
                OnConfigureRequest(As<xcb_configure_request_event_t>(event));
                break;
            case XCB_UNMAP_NOTIFY: {
                const auto unmapped = As<xcb_unmap_notify_event_t>(event);
                const auto framed = framed_.find(unmapped.window);
                if (framed != framed_.end() && unmapped.event == framed->second.frame) {
                    Check(unmapWindow_(connection_, framed->second.frame));
                }
                break;
            }
            default:
                break;
            }
            std::free(event);
        }
    }

    // A window shown with no window manager, taken over in the steps a
    // window manager may take at a pace of its own. First its frame is made
    // where the window stands, as large as it, unseen, and the window is put
    // in it at the frame's corner.
    void Reparent(std::uint32_t window)
    {
        const std::optional<Rect> inside = Geometry(window);
        if (!inside) {
            return;
        }
        const Framed framed{NewFrame(*inside), *inside};
        Check(changeSaveSet_(connection_, XCB_SET_MODE_INSERT, window));
        Check(reparent_(connection_, window, framed.frame, 0, 0));
        Redirect(framed.frame);
        framed_[window] = framed;
    }

    // Then the frame grows to its whole size, still unseen, with the inside
    // at its corner, and the window is told where it stands now.
    void GrowFrame(std::uint32_t window)
    {
        const auto framed = framed_.find(window);
        if (framed == framed_.end()) {
            return;
        }
        const Rect inside = framed->second.inside;
        const Rect outer = Around(inside);
        ConfigurePlaceAndSize(framed->second.frame, outer);
        Tell(window, Rect{outer.x, outer.y, inside.width, inside.height});
    }

    // Last the inside goes beside the frame's sides and the frame is shown.
    void ShowFrame(std::uint32_t window)
    {
        const auto framed = framed_.find(window);
        if (framed == framed_.end()) {
            return;
        }
        const std::uint32_t place[] = {static_cast<std::uint32_t>(sides_.left), static_cast<std::uint32_t>(sides_.top)};
        Check(configure_(connection_, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, place));
        Check(mapWindow_(connection_, framed->second.frame));
    }

    // The frame's place and size on the server now; none for a window not
    // framed.
    std::optional<Rect> FrameOf(std::uint32_t window)
    {
        const auto framed = framed_.find(window);
        return framed == framed_.end() ? std::nullopt : Geometry(framed->second.frame);
    }

    // Where the frame of a window framed when mapped was first shown.
    std::optional<Rect> FirstFrameOf(std::uint32_t window) const
    {
        const auto first = firstFrames_.find(window);
        return first == firstFrames_.end() ? std::nullopt : std::optional<Rect>(first->second);
    }

private:
    struct Framed {
        xcb_window_t frame = XCB_WINDOW_NONE;
        // Where the inside stands on the screen once framed.
        Rect inside;
    };

    void OnMapRequest(xcb_window_t window)
    {
        const auto framed = framed_.find(window);
        if (framed != framed_.end()) {
            Check(mapWindow_(connection_, window));
            Check(mapWindow_(connection_, framed->second.frame));
            return;
        }
        const std::optional<Rect> inside = Geometry(window);
        if (!frameWhenMapped_ || !inside) {
            Check(mapWindow_(connection_, window));
            return;
        }
        const Framed made{NewFrame(Around(*inside)), *inside};
        Check(changeSaveSet_(connection_, XCB_SET_MODE_INSERT, window));
        Check(reparent_(connection_, window, made.frame, static_cast<std::int16_t>(sides_.left),
                        static_cast<std::int16_t>(sides_.top)));
        Redirect(made.frame);
        Check(mapWindow_(connection_, window));
        Check(mapWindow_(connection_, made.frame));
        framed_[window] = made;
        firstFrames_[window] = Around(*inside);
    }

    void OnConfigureRequest(const xcb_configure_request_event_t& request)
    {
        const std::uint16_t mask = request.value_mask;
        const auto framed = framed_.find(request.window);
        if (framed == framed_.end()) {
            // Not framed: as asked.
            std::uint32_t values[5] = {};
            int count = 0;
            const std::int32_t asked[5] = {request.x, request.y, request.width, request.height, request.border_width};
            for (int bit = 0; bit < 5; ++bit) {
                if ((mask & (1U << bit)) != 0) {
                    values[count++] = static_cast<std::uint32_t>(asked[bit]);
                }
            }
            Check(configure_(connection_, request.window, static_cast<std::uint16_t>(mask & 0x1F), values));
            return;
        }
        Rect& inside = framed->second.inside;
        inside.x = (mask & XCB_CONFIG_WINDOW_X) != 0 ? request.x : inside.x;
        inside.y = (mask & XCB_CONFIG_WINDOW_Y) != 0 ? request.y : inside.y;
        inside.width = (mask & XCB_CONFIG_WINDOW_WIDTH) != 0 ? request.width : inside.width;
        inside.height = (mask & XCB_CONFIG_WINDOW_HEIGHT) != 0 ? request.height : inside.height;
        ConfigurePlaceAndSize(framed->second.frame, Around(inside));
        const std::uint32_t within[] = {static_cast<std::uint32_t>(sides_.left), static_cast<std::uint32_t>(sides_.top),
                                        static_cast<std::uint32_t>(inside.width),
                                        static_cast<std::uint32_t>(inside.height)};
        Check(configure_(connection_, request.window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         within));
        Tell(request.window, inside);
    }

    Rect Around(const Rect& inside) const
    {
        return Rect{inside.x - sides_.left, inside.y - sides_.top, inside.width + sides_.left + sides_.right,
                    inside.height + sides_.top + sides_.bottom};
    }

    xcb_window_t NewFrame(const Rect& rect)
    {
        const xcb_window_t frame = generateId_(connection_);
        Check(createWindow_(connection_, XCB_COPY_FROM_PARENT, frame, root_, static_cast<std::int16_t>(rect.x),
                            static_cast<std::int16_t>(rect.y), static_cast<std::uint16_t>(rect.width),
                            static_cast<std::uint16_t>(rect.height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                            XCB_COPY_FROM_PARENT, 0, nullptr));
        return frame;
    }

    // The window's own requests about its place come to this window manager.
    void Redirect(xcb_window_t frame)
    {
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        Check(changeAttributes_(connection_, frame, XCB_CW_EVENT_MASK, &mask));
    }

    void ConfigurePlaceAndSize(xcb_window_t window, const Rect& rect)
    {
        const std::uint32_t values[] = {static_cast<std::uint32_t>(rect.x), static_cast<std::uint32_t>(rect.y),
                                        static_cast<std::uint32_t>(rect.width),
                                        static_cast<std::uint32_t>(rect.height)};
        Check(configure_(connection_, window,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values));
    }

    // Where the inside stands on the screen, told to the window as the X
    // server would tell it were the window on the screen unframed.
    void Tell(xcb_window_t window, const Rect& inside)
    {
        xcb_configure_notify_event_t notify{};
        notify.response_type = XCB_CONFIGURE_NOTIFY;
        notify.event = window;
        notify.window = window;
        notify.above_sibling = XCB_WINDOW_NONE;
        notify.x = static_cast<std::int16_t>(inside.x);
        notify.y = static_cast<std::int16_t>(inside.y);
        notify.width = static_cast<std::uint16_t>(inside.width);
        notify.height = static_cast<std::uint16_t>(inside.height);
        char event[32] = {};
        std::memcpy(event, &notify, sizeof notify);
        Check(sendEvent_(connection_, 0, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY, event));
    }

    std::optional<Rect> Geometry(xcb_window_t window)
    {
        xcb_get_geometry_reply_t* reply = getGeometryReply_(connection_, getGeometry_(connection_, window), nullptr);
        if (reply == nullptr) {
            return std::nullopt;
        }
        const Rect rect{reply->x, reply->y, reply->width, reply->height};
        std::free(reply);
        return rect;
    }

    // Waits until the server has done the request: what the program asks
    // the server next comes after it.
    void Check(xcb_void_cookie_t cookie) { std::free(requestCheck_(connection_, cookie)); }

    Sides sides_;
    bool frameWhenMapped_ = false;
    std::map<xcb_window_t, Framed> framed_;
    std::map<xcb_window_t, Rect> firstFrames_;
    decltype(&xcb_generate_id) generateId_ = nullptr;
    decltype(&xcb_create_window_checked) createWindow_ = nullptr;
    decltype(&xcb_reparent_window_checked) reparent_ = nullptr;
    decltype(&xcb_configure_window_checked) configure_ = nullptr;
    decltype(&xcb_change_save_set_checked) changeSaveSet_ = nullptr;
    decltype(&xcb_send_event_checked) sendEvent_ = nullptr;
    decltype(&xcb_get_geometry) getGeometry_ = nullptr;
    decltype(&xcb_get_geometry_reply) getGeometryReply_ = nullptr;
};

} // namespace testsupport
