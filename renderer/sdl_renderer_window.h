#pragma once

#include <cstdint>

#include <SDL.h>

#include "renderer/message_sink.h"

namespace kovessa {

// The renderer's window and OpenGL context: one borderless window at 0, 0 over the whole
// screen, titled so that a new start of the screensaver program finds it and stays out.
struct RendererWindow {
    SDL_Window* WindowHandle = nullptr;
    SDL_GLContext RenderContext = nullptr;
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    bool vsync = false;  // the buffer swap waits for the vertical blank
    int refreshRate = 0; // hertz, 0 when the display does not say
};

// CreateRendererWindow: window, context (colourBits colour bits, 16 depth bits, double
// buffered, compatibility profile), shown and focused, projection set. False after a failure
// that was reported (caption "Error", stop icon) and cleaned up.
bool CreateRendererWindow(RendererWindow& window, uint8_t colourBits, MessageSink& messages);

// DestroyRendererWindow: releases context, window and video subsystem, each step whatever the
// previous ones did.
void DestroyRendererWindow(RendererWindow& window, MessageSink& messages);

} // namespace kovessa
