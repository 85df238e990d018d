#pragma once

#include <optional>
#include <string>

namespace vantor {

// Replaces the clipboard's content by text (SDL's clipboard; needs the window's video
// subsystem). False when the clipboard is not available.
bool SetClipboardText(const std::string& text);
// The clipboard's text; none when it holds no text or is not available.
std::optional<std::string> ClipboardText();

}
