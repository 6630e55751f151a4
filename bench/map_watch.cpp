#include "map_watch.h"

#include "startup_support.h"

#ifdef CANTORELA_BENCH_XCB
#include <xcb/xcb.h>
#endif

#include <cstdlib>

namespace Bench {

MapWatch::MapWatch(const std::string& display)
{
#ifdef CANTORELA_BENCH_XCB
    connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        connection = nullptr;
        return;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_void_cookie_t cookie =
        xcb_change_window_attributes_checked(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
        free(error);
        xcb_disconnect(connection);
        connection = nullptr;
    }
#else
    (void)display;
#endif
}

MapWatch::~MapWatch()
{
#ifdef CANTORELA_BENCH_XCB
    if (connection)
        xcb_disconnect(connection);
#endif
}

bool MapWatch::IsWatching() const
{
    return FileDescriptor() >= 0;
}

int MapWatch::FileDescriptor() const
{
#ifdef CANTORELA_BENCH_XCB
    return connection ? xcb_get_file_descriptor(connection) : -1;
#else
    return -1;
#endif
}

void MapWatch::Reset()
{
    sizes.clear();
    firstMapNs = bigMapNs = 0;
    first = main = Shown();
}

bool MapWatch::IsWaitingForPixels() const
{
    return first.IsWaiting() || main.IsWaiting();
}

void MapWatch::CheckPixels()
{
    CheckPixels(first);
    CheckPixels(main);
}

void MapWatch::Read()
{
#ifdef CANTORELA_BENCH_XCB
    if (!connection)
        return;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
        const qint64 now = NowNs();
        switch (event->response_type & ~0x80) {
        case XCB_CREATE_NOTIFY: {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            sizes[created->window] = {created->width, created->height};
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto* configured = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            sizes[configured->window] = {configured->width, configured->height};
            break;
        }
        case XCB_MAP_NOTIFY: {
            const auto* mapped = reinterpret_cast<xcb_map_notify_event_t*>(event);
            const auto size = sizes.find(mapped->window);
            const std::pair<int, int> extent = size != sizes.end() ? size->second : std::make_pair(0, 0);
            if (firstMapNs == 0) {
                firstMapNs = now;
                first = {mapped->window, extent.first, extent.second, 0};
            }
            if (bigMapNs == 0 && extent.first >= 1000 && extent.second >= 600) {
                bigMapNs = now;
                main = {mapped->window, extent.first, extent.second, 0};
            }
            break;
        }
        default:
            break;
        }
        free(event);
    }
#endif
}

void MapWatch::CheckPixels(Shown& shown)
{
#ifdef CANTORELA_BENCH_XCB
    if (!connection || !shown.IsWaiting() || shown.width < 8 || shown.height < 8)
        return;
    constexpr int patch = 8;
    xcb_get_image_cookie_t cookies[9];
    for (int i = 0; i < 9; ++i) {
        const int x = (shown.width - patch) * (1 + 2 * (i % 3)) / 6;
        const int y = (shown.height - patch) * (1 + 2 * (i / 3)) / 6;
        cookies[i] = xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, shown.window, int16_t(x),
                                   int16_t(y), patch, patch, ~0u);
    }
    bool drawn = false;
    for (xcb_get_image_cookie_t cookie : cookies) {
        xcb_generic_error_t* error = nullptr;
        xcb_get_image_reply_t* reply = xcb_get_image_reply(connection, cookie, &error);
        free(error);
        if (!reply)
            continue;
        // 24-bit pixels in 32-bit units; the top byte is padding.
        const auto* pixels = reinterpret_cast<const uint32_t*>(xcb_get_image_data(reply));
        const int count = xcb_get_image_data_length(reply) / 4;
        for (int p = 0; p < count && !drawn; ++p)
            drawn = (pixels[p] & 0xffffffu) != 0;
        free(reply);
    }
    if (drawn)
        shown.pixelsNs = NowNs();
#else
    (void)shown;
#endif
}

} // namespace Bench
