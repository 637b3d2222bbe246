#pragma once

#include "renderer/message_sink.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kovessa {

// The renderer's window and OpenGL context: one full-screen window over the primary monitor,
// titled so that a new start of the screensaver program finds it and stays out.
struct RendererWindow {
    SDL_Window* WindowHandle = nullptr;
    SDL_GLContext RenderContext = nullptr;
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    bool vsync = false;  // the buffer swap waits for the vertical blank
    int refreshRate = 0; // hertz, 0 when the display does not say
    // Black windows over the other monitors, so that the show covers every one of them.
    std::vector<SDL_Window*> covers;
    bool foreign = false; // drawing into a daemon's window, which is not ours to destroy
    // In a daemon's window, what failed, for the one line the caller says; no box is shown.
    std::string failure;
};

// CreateRendererWindow: window, context (colourBits colour bits, 16 depth bits, double
// buffered, compatibility profile), shown and focused, projection set. False after a failure
// that was reported (caption "Error", stop icon) and cleaned up.
bool CreateRendererWindow(RendererWindow& window, uint8_t colourBits, MessageSink& messages);

// The same into an existing X window of a screensaver daemon: a GL 1.1 context made from that
// window's own visual, at the window's size, nothing shown, raised or focused. A failure is
// not reported but kept in `window.failure`.
bool CreateRendererWindowIn(RendererWindow& window, unsigned long xWindow, int width, int height,
                            MessageSink& messages);

// Paints a cover black again after the server lost its contents.
void RepaintCover(RendererWindow& window, uint32_t windowId);

// DestroyRendererWindow: releases context, window and video subsystem, each step whatever the
// previous ones did.
void DestroyRendererWindow(RendererWindow& window, MessageSink& messages);

} // namespace kovessa
