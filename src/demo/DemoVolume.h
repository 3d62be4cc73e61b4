#pragma once

#include <string>

namespace velmorant::demo {

// Writes a small but realistic volume under root (created when missing):
//   Programs/bank.txt                  the volume's list of banks
//   Programs/Bank1 (sample programs)   multisamples on several oscillators, one used twice,
//                                      a folder-less reference, a ROM oscillator, a missing multisample
//   Programs/Bank2 (FM and VA programs, which need no files)
//   Programs/Drums (a drum program with samples on several keys and layers)
//   Programs/Created                   a multisample program and a drum program built from WAV files
//   Multisamples/..., Samples/...      the files they play, one multisample listing a sample twice
// Returns false with a message when a file cannot be written.
bool WriteDemoVolume(const std::string& root, std::string& error);

}  // namespace velmorant::demo
