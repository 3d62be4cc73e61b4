#pragma once

#include <string_view>

namespace velmorant::catalogue {

// The table-filter library (main bundle, its sort chunk) and our setFilterGrid adapter, with
// the library's stylesheet and images inside, as one script text. Built into the program
// from the installed package by cmake/TableFilterAssets.cmake.
std::string_view TableFilterScript();
// The package version the text was taken from.
std::string_view TableFilterVersion();

}  // namespace velmorant::catalogue
