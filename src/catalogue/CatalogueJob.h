#pragma once

#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace velmorant::catalogue {

enum class CatalogueKind { kStatic, kDynamic };

// Results of the jobs below.
inline constexpr int kCatalogueDone = 1;          // written (and opened when asked), or cancelled
inline constexpr int kCatalogueNotVolume = -1;    // the folder is not named "Volume" (dynamic page)
inline constexpr int kCatalogueNotWritten = -2;   // the page could not be created; nothing opened
inline constexpr int kCatalogueNotOpened = -3;    // written, but no viewer would open it
inline constexpr int kCatalogueCancelled = -4;    // stopped by Cancel in its progress window; nothing written

// The save chooser's name with ".htm" appended, unless it already ends in ".htm" (any case).
std::string CompleteOutputName(std::string_view chosen);

// The dynamic catalogue accepts only a volume root whose own folder name is exactly "Volume".
bool IsVolumeFolder(std::string_view folder);

// Everything after the choosers: the folder check (dynamic page), the page written under a
// cycling progress window that offers Cancel (dynamic page), an "Error" box when it cannot be
// created, and the page opened in the default viewer when asked.
int PublishCatalogue(platform::Platform& platform, CatalogueKind kind, const std::string& volumeFolder,
                     const std::string& outputPath, bool open);

// The menu commands: folder chooser, save chooser, name completion, then PublishCatalogue
// with the page opened. `written`, when given, receives the page's path once it is written.
int CreateCatalogue(platform::Platform& platform, std::string* written = nullptr);
int CreateDynamicCatalogue(platform::Platform& platform, std::string* written = nullptr);

}  // namespace velmorant::catalogue
