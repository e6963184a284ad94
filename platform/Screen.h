#pragma once
// The size of the screen, from which the main window's first placement is
// made.
#include <cstdint>

namespace parlo {

struct ScreenSize {
    int32_t width;
    int32_t height;
};

// What a program without a screen assumes.
inline constexpr ScreenSize kNoScreenSize{1280, 1024};

class Screen {
public:
    virtual ~Screen() = default;
    // The full screen's size in pixels, now.
    virtual ScreenSize Size() const = 0;
};

// A screen of fixed size: the command-line tool's and the tests'.
class FixedScreen : public Screen {
public:
    explicit FixedScreen(ScreenSize size = kNoScreenSize) : size_(size) {}
    ScreenSize Size() const override { return size_; }

private:
    ScreenSize size_;
};

}  // namespace parlo
