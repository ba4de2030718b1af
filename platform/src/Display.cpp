#include "Win/Display.hpp"

#include <atomic>

namespace Win
{

struct DeviceContext
{
    int widthPixels;
    int widthMillimetres;
};

namespace
{

DeviceContext theScreen {1920, 508};
std::atomic<int> heldContexts {0};

}  // namespace

HDC GetDC(void*)
{
    ++heldContexts;
    return &theScreen;
}

int ReleaseDC(void*, HDC context)
{
    if (context != &theScreen) return 0;
    --heldContexts;
    return 1;
}

int GetDeviceCaps(HDC context, int index)
{
    if (context == nullptr) return 0;
    if (index == HORZSIZE) return context->widthMillimetres;
    if (index == HORZRES) return context->widthPixels;
    return 0;
}

int HeldDeviceContexts() { return heldContexts; }

}  // namespace Win
