#pragma once

// The screen's device context, as far as the add-on asks about the screen. The
// simulated screen is fixed: 1920 pixels over 508 millimetres.
namespace Win
{

constexpr int HORZSIZE = 4;  // width in millimetres
constexpr int HORZRES = 8;   // width in pixels

struct DeviceContext;
using HDC = DeviceContext*;

// Every window shows on the one screen; contexts are counted until released.
HDC GetDC(void* window);
int ReleaseDC(void* window, HDC context);
int GetDeviceCaps(HDC context, int index);

// Contexts handed out and not yet released.
int HeldDeviceContexts();

}  // namespace Win
