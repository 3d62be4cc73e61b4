#include "core/Debug.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmorant::core {
namespace {

std::atomic<int>& DebugState() {
    // -1: not decided yet, read from the environment on first use.
    static std::atomic<int> state{-1};
    return state;
}

}  // namespace

bool DebugEnabled() {
    int state = DebugState().load(std::memory_order_relaxed);
    if (state < 0) {
        const char* env = std::getenv("VELMORANT_DEBUG");
        state = (env != nullptr && *env != '\0' && std::strcmp(env, "0") != 0) ? 1 : 0;
        DebugState().store(state, std::memory_order_relaxed);
    }
    return state == 1;
}

void SetDebugEnabled(bool enabled) {
    DebugState().store(enabled ? 1 : 0, std::memory_order_relaxed);
}

void DebugPrint(const char* format, ...) {
    if (!DebugEnabled()) {
        return;
    }
    std::va_list args;
    va_start(args, format);
    const std::string text = FormatV(format, args);
    va_end(args);
    std::fputs(text.c_str(), stderr);
}

}  // namespace velmorant::core
