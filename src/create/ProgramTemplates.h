#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmorant::create {

// Multisample program: one oscillator playing one multisample.
inline constexpr std::size_t kMultisampleProgramSize = 2028;

inline constexpr std::size_t kParameterListSize = 97 * 8;

// Fresh copies of the fixed files the builds patch. The instrument expects these
// bytes as they stand; their meaning is not used here.
std::vector<std::uint8_t> MultisampleProgramTemplate();
std::vector<std::uint8_t> DrumProgramTemplate();
// The 97-item parameter list that ends both programs.
std::vector<std::uint8_t> ProgramParameterList();

}  // namespace velmorant::create
