#pragma once
// Watches the root window of the display for windows being created, resized and mapped, and
// looks when the mapped windows first show something. Without libxcb (CANTORELA_BENCH_XCB unset)
// it watches nothing.

#include <QtGlobal>

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#ifdef CANTORELA_BENCH_XCB
struct xcb_connection_t;
#endif

namespace Bench {

class MapWatch
{
public:
    explicit MapWatch(const std::string& display);
    ~MapWatch();
    bool IsWatching() const;
    int FileDescriptor() const;
    void Reset();
    // Whether a mapped window is waiting for its first pixels: then CheckPixels() wants calling
    // every millisecond or two.
    bool IsWaitingForPixels() const;
    // Looks whether the mapped windows show anything yet: the root is black and the program's
    // windows have no background of their own, so a window shows black until the program has
    // drawn into it. A few small patches spread over the window are enough to tell.
    void CheckPixels();
    // Reads whatever events have arrived, stamping maps with the time they are read.
    void Read();

    // A mapped window and when its first non-black pixels were seen.
    struct Shown
    {
        uint32_t window = 0;
        int width = 0, height = 0;
        qint64 pixelsNs = 0;
        bool IsWaiting() const { return window != 0 && pixelsNs == 0; }
    };

    qint64 firstMapNs = 0;
    qint64 bigMapNs = 0;
    // The first window mapped (the splash) and the first large one (the main window).
    Shown first, main;

private:
    void CheckPixels(Shown& shown);

#ifdef CANTORELA_BENCH_XCB
    xcb_connection_t* connection = nullptr;
#endif
    std::map<uint32_t, std::pair<int, int>> sizes;
};

} // namespace Bench
