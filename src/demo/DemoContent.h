#pragma once

#include <string>

namespace velmorant::demo {

// Adds to a demo volume what the creators make from synthesised WAV files:
//   Programs/Created/Synth Keys.afp   a multisample program (three tones, auto-mapped)
//   Programs/Created/Synth Kit.afp    a drum program (kick and snare in two layers, hats, a copied key)
//   Multisamples/Created/Synth Keys.afi, Samples/Created/*.afs and the folders' bank.txt files,
// and lists the bank "Created" in Programs/bank.txt. The WAV files are made in a scratch
// folder under the root and removed again. False with a message when something fails.
bool WriteCreatedDemoContent(const std::string& volumeRoot, std::string& error);

}  // namespace velmorant::demo
