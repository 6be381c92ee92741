// The game's four sounds, synthesised at start-up in their stored formats,
// and a writer that saves one as a WAVE file for listening to it outside.
#pragma once
#include <string>

#include "engine/sound.h"

namespace assets {

// Adds "explode", "explode2", "getbonus" and "getbadbonus", in that order.
// The noise comes from a fixed seed, so the sounds are the same every start.
void BuildWaves(eng::WaveList& list);

// Writes a RIFF WAVE file (PCM) in the wave's own format; throws
// std::runtime_error when the file cannot be written.
void WriteWav(const eng::Wave& wave, const std::string& path);

}  // namespace assets
