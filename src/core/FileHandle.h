#pragma once

#include <cstdio>
#include <memory>

namespace velmorant::core {

// The one deleter for C streams, so every early return closes what was opened.
struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) {
            std::fclose(f);
        }
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace velmorant::core
