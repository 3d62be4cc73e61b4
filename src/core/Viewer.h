#pragma once

#include <string>

namespace velmorant::core {

// Hands a document to the desktop's default viewer (xdg-open, open, or the shell on
// Windows, maximised); false when no viewer took it.
bool OpenWithDefaultViewer(const std::string& path);

}  // namespace velmorant::core
