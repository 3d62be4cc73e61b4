#pragma once

#include <string>
#include <string_view>

#include "core/FileSource.h"

namespace velmorant::core {

// Names inside the instrument's files are Windows-1252 bytes; file names on disk are UTF-8.
// Volumes written by other tools may carry the raw bytes as file names instead.

// The path of the file (or folder) that a name (1252 bytes) stands for inside `folder`: the UTF-8
// file name when such a file exists, else the raw bytes when that file exists, else the
// UTF-8 one (what a new file gets, and what a message shows). When neither exists, a name
// that differs only in letter case is taken (the first in name order).
std::string FindNamedFile(std::string_view folder, std::string_view name, std::string_view extension,
                          FileSource& files = DiskFiles());

// The name (1252 bytes) a file name (UTF-8, or raw bytes) stands for.
std::string NameFromFileName(std::string_view fileName);

// How strictly a name is made safe to use as a file name.
enum class NameRule {
    // A program name the user typed keeps its spaces (the instrument shows them): only the
    // characters file systems refuse, / \ : * ? " < > |, become '_'.
    kTypedName,
    // Sample file names the builds make up also turn spaces and control characters into '_',
    // so that they stay one plain word.
    kGeneratedName,
};

// The name with every character its rule forbids turned into '_'; its length is kept.
std::string SanitiseFileName(std::string_view name, NameRule rule);

}  // namespace velmorant::core
