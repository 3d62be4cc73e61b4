#include "core/Viewer.h"

#include "core/File.h"

#ifdef _WIN32
#include <cstdint>
#include <windows.h>
#include <shellapi.h>
#endif

namespace velmorant::core {

bool OpenWithDefaultViewer(const std::string& path) {
#ifdef _WIN32
    const auto result = reinterpret_cast<std::intptr_t>(
        ShellExecuteW(nullptr, L"open", NativePath(path).c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED));
    return result > 32;
#elif defined(__APPLE__)
    return RunProgram("open", path);
#else
    return RunProgram("xdg-open", path);
#endif
}

}  // namespace velmorant::core
