#pragma once

#include <string>

namespace velmorant::doctor {

enum class DataFormat { kCsv, kJson };

// The dynamic catalogue's rows for scripts: bank, slot, name, type, main and other categories,
// and the number of files each program needs that are not on the volume (its own file
// included), from a check of the volume. CSV as RFC 4180 lays it out, or one JSON document;
// UTF-8 either way.
std::string CatalogueData(const std::string& volume, DataFormat format);

}  // namespace velmorant::doctor
