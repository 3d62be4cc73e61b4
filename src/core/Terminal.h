#pragma once

namespace velmorant::core {

// True when standard error is an interactive terminal (a progress line is drawn only there).
bool StandardErrorIsTerminal();

}  // namespace velmorant::core
