#pragma once

#include "core/Text.h"

namespace velmorant::core {

// Developer diagnostics: silent unless VELMORANT_DEBUG=1 or --verbose turned them on.
// They form no interface; program logs are data and go through AppendLog instead.
bool DebugEnabled();
void SetDebugEnabled(bool enabled);
void DebugPrint(const char* format, ...) VELMORANT_PRINTF(1, 2);

}  // namespace velmorant::core
