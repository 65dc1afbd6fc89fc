// What the full-screen reader keeps between runs and what it borrows from the main window.
#pragma once

#include "settings/ini_file.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace reader {

// The reader's own look, kept in the settings file's section "fullScreenTextFont". What is
// not stored keeps the text box's own: an empty face, a size or weight of 0, a missing colour.
struct ReaderLook {
    IniFont font{"", 0, false, false, false, false, 0, kDefaultCharset};
    std::optional<uint32_t> backColour;  // stored colour values, red in the low byte
    std::optional<uint32_t> foreColour;
};

// Values the main window holds and hands to the reader each time it opens it.
struct ReaderShared {
    int wSleep = 6;            // auto-scroll speed level 0..15; the pause grows with it
    QString backPicFile;       // background source: a picture file, a folder or a picture library
    int backPicShowTime = 0;   // seconds between background pictures; 0: no background
    bool backPicStretch = false;
    int explainMode = 0;       // word explanation; 0: off
};

// The speed levels run 0..kSpeedLevels-1 and wrap around.
inline constexpr int kSpeedLevels = 16;
inline constexpr int kDefaultSpeedLevel = 6;

}  // namespace reader
