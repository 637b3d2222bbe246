#pragma once

#include "renderer/key_latch.h"
#include "renderer/message_sink.h"

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kovessa {

// The renderer's window on Windows: a borderless pop-up of the class "OpenGL" titled
// "Zeruma_Pelios" over the primary monitor, with its own device context and an OpenGL
// rendering context, and black windows over every other monitor.
struct RendererWindow {
    HINSTANCE instance = nullptr;
    HWND WindowHandle = nullptr;
    HDC DeviceContext = nullptr;
    HGLRC RenderContext = nullptr;
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    bool vsync = false;  // the buffer swap waits for the vertical blank
    int refreshRate = 0; // hertz, 0 when the display does not say
    // Black windows over the other monitors, so that the show covers every one of them.
    std::vector<HWND> covers;
    bool coverClassRegistered = false;
    // Where the window procedure records the keys; set before the window is made.
    KeyLatch* keys = nullptr;
};

// CreateRendererWindow: class, window, device context, pixel format (double-buffered RGBA of
// colourBits colour bits with a 16-bit depth buffer), rendering context made current, vsync
// asked for, the other monitors covered, the window shown and focused, the projection set.
// False after a failure that was reported (caption "Error", stop icon) and cleaned up.
bool CreateRendererWindow(RendererWindow& window, uint8_t colourBits, MessageSink& messages);

// DestroyRendererWindow: releases context, device context, window, covers and classes, each
// step whatever the previous ones did; a failing step shows its box and clears its handle.
void DestroyRendererWindow(RendererWindow& window, MessageSink& messages);

// RendererWndProc: keys by virtual-key code into the window's key latch, resizes, and a close
// request that ends the loop (the window itself is destroyed by the teardown).
LRESULT CALLBACK RendererWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace kovessa
