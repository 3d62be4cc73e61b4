#pragma once

#include <optional>

#include "doctor/Report.h"

namespace velmorant::platform {
class Platform;
}

namespace velmorant::doctor {

// Asks for a volume folder and checks it under a progress window whose Cancel stops the check
// at its next file or bank (the report is then marked stopped). nullopt when no folder was chosen.
std::optional<Report> CheckVolumeJob(platform::Platform& platform);

}  // namespace velmorant::doctor
