#include "core/Terminal.h"

#include <cstdio>

#include "core/File.h"

namespace velmorant::core {

bool StandardErrorIsTerminal() {
    return StreamIsTerminal(stderr);
}

}  // namespace velmorant::core
