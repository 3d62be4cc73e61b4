#pragma once

#include "audio/RootKeys.h"

namespace velmorant::ui {

// How both instrument editors number octaves in note names; the same choice the CLI
// takes as --middle-c, kept between runs.
audio::MiddleC MiddleCSetting();
void SetMiddleCSetting(audio::MiddleC middleC);

}  // namespace velmorant::ui
