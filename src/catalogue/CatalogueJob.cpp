#include "catalogue/CatalogueJob.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "bank/ResultMessages.h"
#include "catalogue/CataloguePages.h"
#include "core/Debug.h"
#include "core/Path.h"
#include "core/Text.h"

namespace velmorant::catalogue {
namespace {

constexpr std::string_view kHtmlExtension = ".htm";

std::optional<std::string> ChooseOutput(platform::Platform& platform) {
    platform::SaveFileRequest request;
    request.filters = {{"Html file(.htm)", "*.htm"}, {"All files", "*.*"}};
    std::optional<std::string> chosen = platform.ChooseSaveFile(request);
    if (!chosen) {
        return std::nullopt;
    }
    core::DebugPrint("extension ..%s..\n", core::PathExtension(*chosen).c_str());
    return CompleteOutputName(*chosen);
}

int RunMenuCommand(platform::Platform& platform, CatalogueKind kind, std::string* written) {
    const std::optional<std::string> folder = platform.ChooseFolder("Select Fusion Volume directory");
    if (!folder) {
        return kCatalogueDone;
    }
    if (kind == CatalogueKind::kDynamic) {
        // Refused before the save chooser, so nobody picks a file for nothing.
        if (!IsVolumeFolder(*folder)) {
            bank::ShowResultMessage(platform, bank::ResultBox::kNotAVolume, "");
            return kCatalogueNotVolume;
        }
        core::DebugPrint("Chose %s", folder->c_str());
    }
    const std::optional<std::string> output = ChooseOutput(platform);
    if (!output) {
        return kCatalogueDone;
    }
    const int result = PublishCatalogue(platform, kind, *folder, *output, true);
    if (written != nullptr && (result == kCatalogueDone || result == kCatalogueNotOpened)) {
        *written = *output;
    }
    return result;
}

}  // namespace

std::string CompleteOutputName(std::string_view chosen) {
    std::string completed(chosen);
    std::string ending(chosen.substr(chosen.size() - std::min(chosen.size(), kHtmlExtension.size())));
    std::string expected(kHtmlExtension);
    core::UpperCaseInPlace(ending);
    core::UpperCaseInPlace(expected);
    if (ending != expected) {
        completed += kHtmlExtension;
    }
    return completed;
}

bool IsVolumeFolder(std::string_view folder) {
    return core::PathFileName(folder) == "Volume";
}

int PublishCatalogue(platform::Platform& platform, CatalogueKind kind, const std::string& volumeFolder,
                     const std::string& outputPath, bool open) {
    int written = kPageNotCreated;
    if (kind == CatalogueKind::kStatic) {
        written = WriteStaticCatalogue(volumeFolder, outputPath);
    } else {
        if (!IsVolumeFolder(volumeFolder)) {
            bank::ShowResultMessage(platform, bank::ResultBox::kNotAVolume, "");
            return kCatalogueNotVolume;
        }
        // Every program file of the volume is opened, which takes a while on a full disk.
        std::unique_ptr<platform::ProgressWindow> progress = platform.StartProgressWindow(true);
        progress->SetTitle("Export Catalogue");
        progress->SetStatus("Please Wait while analysing directory...");
        progress->OfferCancel();
        written = WriteDynamicCatalogue(volumeFolder, outputPath, [&] { return progress->CancelRequested(); });
        progress->Close();
        if (written == kPageCancelled) {
            return kCatalogueCancelled;
        }
    }

    if (written != kPageWritten) {
        platform.ShowMessage(core::Format("Cannot create file ! \n(%s)", outputPath.c_str()), "Error",
                             platform::Icon::kStop);
        return kCatalogueNotWritten;
    }
    if (open && !platform.OpenDocument(outputPath)) {
        platform.ShowMessage(core::Format("Cannot open file ! \n(%s)", outputPath.c_str()), "Information",
                             platform::Icon::kInformation);
        return kCatalogueNotOpened;
    }
    return kCatalogueDone;
}

int CreateCatalogue(platform::Platform& platform, std::string* written) {
    return RunMenuCommand(platform, CatalogueKind::kStatic, written);
}

int CreateDynamicCatalogue(platform::Platform& platform, std::string* written) {
    return RunMenuCommand(platform, CatalogueKind::kDynamic, written);
}

}  // namespace velmorant::catalogue
