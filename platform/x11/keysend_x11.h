#pragma once
// Typing key strokes into the window that has the keyboard focus, through XTest.

#include "platform/keystrokes.h"
#include "platform/result.h"

#include <vector>

struct xcb_connection_t;

namespace platform {

// Presses and releases each key with its modifiers, a little apart as typing would.
// Error::Unsupported when XTest is missing or a key is not on the keyboard: then nothing at
// all is sent.
Result typeKeyStrokes(xcb_connection_t* c, const std::vector<KeyStroke>& strokes);

} // namespace platform
