#include "doctor/CheckJob.h"

#include <chrono>
#include <memory>
#include <string>

#include "core/Encoding.h"
#include "core/Text.h"
#include "doctor/VolumeCheck.h"
#include "platform/Platform.h"

namespace velmorant::doctor {

std::optional<Report> CheckVolumeJob(platform::Platform& platform) {
    const std::optional<std::string> volume = platform.ChooseFolder("Select the volume to check");
    if (!volume) {
        return std::nullopt;
    }
    const std::unique_ptr<platform::ProgressWindow> window = platform.StartProgressWindow(false);
    window->SetTitle("Checking volume");
    window->SetStatus("Listing " + core::PathToUtf8(*volume));
    // The window's range keeps only 16 bits: a volume may hold more files than that.
    constexpr std::size_t kScale = 1000;
    window->SetRange(kScale);
    window->OfferCancel();

    CheckOptions options;
    options.volume = *volume;
    std::string shown;
    std::chrono::steady_clock::time_point last;
    options.progress = [&](std::string_view step, std::size_t done, std::size_t total) {
        // Each call to the window waits for its thread; a volume has thousands of files.
        const auto now = std::chrono::steady_clock::now();
        if (step == shown && done < total && now - last < std::chrono::milliseconds(100)) {
            return true;
        }
        shown = step;
        last = now;
        window->SetStatus(core::Format("%s: %zu of %zu", shown.c_str(), done, total));
        window->SetPosition(static_cast<std::int32_t>(total == 0 ? kScale : done * kScale / total));
        return !window->CancelRequested();
    };
    Report report = CheckVolume(options);
    window->Close();
    return report;
}

}  // namespace velmorant::doctor
