// cInifile: the program's settings file, read and written with the Windows private-profile
// rules (see profile_file.h): names without regard to case, every write at once, values read
// through a 255-character buffer (so at most 254 come back), code page 936 text, CR LF.
//
// Callers set `section` (and `key`) and then read or write `Value`. Typed helpers keep fonts
// and window positions in the current section.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The character set a font gets when nothing else is known (DEFAULT_CHARSET on Windows).
inline constexpr int32_t kDefaultCharset = 1;

// A font as the settings file keeps it.
struct IniFont {
    std::string name;
    float size = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int32_t weight = 400;
    int32_t charset = kDefaultCharset;
};

// A window's outer position and size in twips, and its state.
struct IniFormPosition {
    enum class State { Normal, Minimised, Maximised };
    int32_t left = 0, top = 0, width = 0, height = 0;
    State state = State::Normal;
};

// A window's place as the settings file keeps it: each key that is there.
struct IniFormPlace {
    std::optional<int32_t> maximised, left, top, width, height;
};

// The screen in twips, and its twips per pixel.
struct IniScreen {
    int32_t width = 0, height = 0;
    int32_t twipsPerPixelX = 15, twipsPerPixelY = 15;
};

class cInifile {
public:
    // The settings file beside the program: program folder + executable name + ".ini".
    static std::string programIniPath();

    std::string path;
    std::string section;
    std::string key;
    std::string Default;

    // section / key, or Default when missing; cut to 254 characters of code page 936.
    std::string Value() const;
    // Writes the text without its NUL characters.
    void setValue(const std::string& text);

    void DeleteKey();
    void DeleteSection();

    // The key names of `section` / the section names, NUL-separated ("" when none), as read
    // through an 8192-character buffer.
    std::string INISection() const;
    // Deletes `section` (a write without a key); the text is not used.
    void setINISection(const std::string& text);
    std::string Sections() const;

    // The key names of `section` / the section names, in file order; count is their number.
    void EnumerateCurrentSection(std::vector<std::string>& names, int32_t& count) const;
    void EnumerateAllSections(std::vector<std::string>& names, int32_t& count) const;

    // The values of the keys prefix + i + suffix of `section` for i = 1 … count that are in the
    // file, by i. Only the keys present are read: a stored count is a claim, never looped over.
    std::vector<std::pair<int32_t, std::string>> numberedValues(const std::string& prefix, const std::string& suffix,
                                                                int32_t count) const;

    // The system's result of the last write or delete: nonzero on success.
    int32_t LastReturnCode() const { return lastReturnCode_; }
    bool Success() const { return lastReturnCode_ != 0; }

    // Fonts: keys "name", "size", "bold", "Underline", "Charset", "Italic", "Weight",
    // "Strikethrough" of `section`. Reading, a missing name or charset, a size that is no
    // number above 0 and a weight that is no number keep the font's current ones; the flags
    // are true for a nonzero number or "True". `key` is kept.
    void loadFont(IniFont& font);
    void SaveFont(const IniFont& font);

    // Window positions: "Maximised" unless minimised, "Left" "Top" "Width" "Height" only in
    // the normal state. `key` is kept.
    void SaveFormPosition(const IniFormPosition& window);
    // The position to give the window: stored values (the current ones where missing), at
    // least the minimum size, fitted to the screen with a margin of four pixels. `moved` is
    // false when the fitted size is below the minimum (the window stays where it is);
    // `maximise` tells whether to maximise it. `key` and `Default` are kept.
    struct Placement {
        bool moved = false;
        int32_t left = 0, top = 0, width = 0, height = 0;
        bool maximise = false;
    };
    Placement LoadFormPosition(const IniFormPosition& window, int32_t minWidth, int32_t minHeight,
                               const IniScreen& screen);

    // The two halves of the above, for a place kept elsewhere between reading and writing:
    // the keys as stored; the place updated as SaveFormPosition would write it; the keys
    // written; and the placement LoadFormPosition gives for stored keys.
    IniFormPlace readFormPlace();
    static void keepFormPosition(IniFormPlace& place, const IniFormPosition& window);
    void writeFormPlace(const IniFormPlace& place);
    static Placement fitFormPlace(const IniFormPlace& stored, const IniFormPosition& window, int32_t minWidth,
                                  int32_t minHeight, const IniScreen& screen);

    // The text as a 32-bit integer / single-precision number, or the fallback when it is none.
    static int32_t CLngDefault(const std::string& text, int32_t fallback);
    static float CSngDefault(const std::string& text, float fallback);

private:
    std::string read(const std::string& name) const;
    void write(const std::string& name, const std::string& text);

    int32_t lastReturnCode_ = 0;
};
