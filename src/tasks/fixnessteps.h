#pragma once

#include <QString>

// The file steps of the NES repair script. After the "fixnes" run the fixed copies
// ("*.new.nes") are parked in NESNew while the originals are renamed; then they come back and
// are renamed too, which makes them duplicates of the originals in NESDupes; the last step puts
// each fixed copy in place of its original in NESRen. The user's own NESDupes directory is kept
// aside as NESDupes.old meanwhile.
//
// Runs the step that follows the tool run of the given stage (1, 2 or 3) in the ROM directory
// dir (ending in "/"). Failing file operations are skipped. Returns false, having done nothing,
// for any other stage.
bool runFixNesStep(const QString &dir, int stage);
