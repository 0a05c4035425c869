#pragma once

// Whether the window system blends a window's translucent pixels with what lies behind it.
// Without that, a window's transparent pixels come out black, so a tip with rounded corners
// and a soft shadow must be drawn opaque instead.
//
// Decided by the Qt platform in use:
//   - "xcb": composited while some client owns the selection _NET_WM_CM_S0 (the compositing
//     manager's claim on the first X screen); asked each time, so a compositor that starts or
//     stops while the program runs is followed; without the X client library at build time,
//     not composited;
//   - "wayland", "windows", "cocoa": always composited;
//   - every other platform ("offscreen", "minimal", "vnc", "linuxfb", ...): not composited.
bool WindowSystemComposites();
