// clsFilePath: file names, folders, temporary files, shortcuts, file-type families, text
// scrambling, whole-file text and byte I/O with character-set detection, name sorting and
// Chinese numerals.
//
// Paths are UTF-8 text. Every function accepts both "/" and "\" as separators (library data
// written on Windows holds backslash paths) and builds paths with the platform's separator.
// No function throws or shows anything: a failing file-system call gives the function's empty
// value (empty text, 0, false, an empty list). Lists are vectors whose size is the count.
#pragma once

#include <concepts>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

// A database value that can be null (the store's engine::Value has this shape).
template <class V>
concept NullableValue = requires(const V& v) {
    { v.isNull() } -> std::convertible_to<bool>;
    { v.toLong() } -> std::convertible_to<int32_t>;
    { v.toText() } -> std::convertible_to<std::string>;
};

class clsFilePath {
public:
    using Bytes = std::vector<uint8_t>;
    using List = std::vector<std::string>;

    // ---- Path texts (no disk access) -------------------------------------------------------
    // The text after the last separator; one trailing separator is ignored when searching and
    // kept in the result ("c:\a\b\" gives "b\").
    std::string GetFileName(const std::string& path) const;
    // The extension of the last component, lower-cased; "" when none.
    std::string getFileExtName(const std::string& path) const;
    // The text up to and including the last separator; "" when there is none.
    std::string getFilePathName(const std::string& path) const;
    // The title: the last component without an extension of up to four characters, inner dots
    // turned into "_" ("12.story.txt" gives "12_story"). With dropNumberPrefix a numeric part
    // before the first "_" is dropped ("001_Chapter one" gives "Chapter one").
    std::string getFileTitleName(const std::string& path, bool dropNumberPrefix = false) const;
    // The path without trailing separators (a path of separators only keeps its first one).
    std::string justPath(const std::string& path) const;
    // The parent folder of an existing folder; "" for a root or a missing folder.
    std::string parentPath(const std::string& folder) const;
    // The root of the path: a drive root such as "c:\", or "/" for a rooted path.
    std::string getFnameDrivePath(const std::string& path) const;
    // Renames the file to the same folder and title with the new extension.
    bool changeFileExt(const std::string& path, const std::string& newExtension);

    // ---- Existence, size, attributes ------------------------------------------------------
    bool fileExist(const std::string& path) const;
    bool pathExist(const std::string& folder) const;
    int64_t filesize(const std::string& path) const;  // 0 when missing
    // Windows-style attribute bits (1 read-only, 2 hidden, 16 folder, 32 archive); -1 when the
    // path does not exist.
    int32_t getFileAttr(const std::string& path) const;
    // True if the folder is missing or holds neither files nor folders.
    bool pathIsNull(const std::string& folder) const;
    int32_t subFilecount(const std::string& folder) const;
    int32_t subPathCount(const std::string& folder) const;
    // The same through all levels below; lets user-interface events run between folders.
    int32_t pathTotalsubFiles(const std::string& folder) const;
    int32_t pathTotalsubPaths(const std::string& folder) const;
    int64_t pathTotalSize(const std::string& folder) const;

    // ---- Listings, sorted by name; entries are bare names, or folder + separator + name ------
    // Files directly in the folder whose extension is `extension` (any case; "*" for all),
    // leaving out names that start with ".".
    int32_t getAllFnameInPath(const std::string& folder, const std::string& extension, List& list,
                              bool withPath) const;
    // All files / all folders directly in the folder.
    int32_t AllFiles(const std::string& folder, List& list, bool withPath) const;
    int32_t getAllPathInPath(const std::string& folder, List& list, bool withPath) const;

    // ---- Creating, copying, moving, deleting (true on success) -----------------------------
    bool createPath(const std::string& folder);
    // Creates the file when missing; an existing file keeps its contents.
    void createNullFile(const std::string& path);
    bool createFilex(const std::string& path);
    // Into the folder when target is an existing folder; an existing file is replaced only with
    // overwrite.
    bool copyFile(const std::string& source, const std::string& target, bool overwrite);
    // Copies the folder with everything in it into target (target/name-of-source).
    bool copyPath(const std::string& source, const std::string& target, bool overwrite);
    // Moves the file into the folder / the folder to target; never over an existing entry.
    bool moveFileToPath(const std::string& source, const std::string& folder);
    bool movePath(const std::string& source, const std::string& target);
    // A new name without separator stays in the same folder; never over an existing entry.
    bool renameFile(const std::string& oldName, const std::string& newName);
    bool renamePath(const std::string& oldName, const std::string& newName);
    // True if the file or folder no longer exists afterwards; force also removes read-only ones.
    bool delFile(const std::string& path, bool force);
    bool deletePath(const std::string& folder, bool force);
    // Copies an existing file to the first free folder + title + NN + ".bak" ("notes01.bak").
    bool backupFile(const std::string& path);

    // ---- Temporary files --------------------------------------------------------------------
    // A name in the program's private "tmp" folder (created, mode 0700, when missing); no file
    // is created. With a title: tmp/title.extension. Without: tmp/tmp4301.ext ... tmp4320.ext
    // in turn (the 21st call reuses the first); an empty extension becomes "dat".
    std::string tmpFileName(const std::string& extension, const std::string& title = "");
    // Deletes every file directly in the "tmp" folder; folders stay.
    void clearTmpPath();
    // The system's temporary folder, without trailing separator.
    std::string getSystemTmpPath() const;
    // Creates a new empty file with a unique name starting with prefix in the system's
    // temporary folder; returns its name, with "." + extension appended (not created) when an
    // extension is given; "" on failure.
    std::string GetTempFile(const std::string& extension, const std::string& prefix);

    // ---- Shortcuts ---------------------------------------------------------------------------
    // A link text is target + NUL + working folder (or a bare target).
    // kind "lnk": a Windows Shell Link file; kind "url": an Internet shortcut (the whole text).
    bool createPathLink(const std::string& linkFile, const std::string& kind, const std::string& linkText);
    // By the link file's extension: "lnk" gives target + NUL + working folder, "url" the target,
    // anything else (or an unreadable file) "".
    std::string getPathLink(const std::string& linkFile) const;
    // Splits a link text at the first NUL: returns the target, puts the rest into workingFolder.
    std::string getLinkPath(const std::string& linkText, std::string& workingFolder) const;

    // ---- Opening with the desktop (through util::openFile) ---------------------------------
    // Opens the file in the folder (its own folder when empty).
    bool shellShowFile(const std::string& file, const std::string& folder = "");
    // Writes the text to a temporary ".txt" file and opens it.
    bool shellShowText(const std::string& text);

    // ---- Null-safe conversions of database values -------------------------------------------
    template <NullableValue V>
    static int32_t convTnum(const V& value) {
        try {
            return value.isNull() ? 0 : value.toLong();
        } catch (const std::exception&) {
            return 0;
        }
    }
    template <NullableValue V>
    static std::string convTx(const V& value) {
        try {
            return value.isNull() ? std::string() : trim(value.toText());
        } catch (const std::exception&) {
            return {};
        }
    }
    static std::string convTx(const std::string& text) { return trim(text); }

    // ---- File-type families (the argument is an extension, any case) -------------------------
    static bool isWMPLiked(const std::string& extension);
    static bool isHtmLiked(const std::string& extension);
    static bool isTxtLiked(const std::string& extension);
    static bool isJpgLiked(const std::string& extension);
    static bool isDocLiked(const std::string& extension);
    static bool isLinked(const std::string& extension);
    // True if the text contains "http:" in any case.
    static bool isURL(const std::string& text);

    // ---- Reversible scrambling ------------------------------------------------------------------
    // Each code page 936 byte becomes eight decimal digits (two alphabet characters, each as a
    // four-digit code), with a random salt; Decode gives "" for text not in that form.
    static std::string Encode(const std::string& text);
    static std::string Decode(const std::string& text);

    // ---- Whole-file I/O -----------------------------------------------------------------------
    // The file's bytes; returns their number (0 and bytes untouched for an empty or unreadable file).
    int64_t loadBinFile(const std::string& file, Bytes& bytes) const;
    // The file as little-endian 32-bit integers, length / 4 + 1 entries.
    void loadBinFileLong(const std::string& file, std::vector<int32_t>& values) const;
    // Replaces the file with the bytes; 1 on success. No bytes: nothing happens (0).
    int32_t saveBinFile(const std::string& file, const Bytes& bytes);
    // The file's bytes decoded as code page 936; "" when missing.
    std::string loadTxtFile(const std::string& file) const;
    // The file's text, detected as UTF-16 LE, UTF-8 or code page 936.
    std::string loadTxtFileWithConv(const std::string& file) const;
    // Replaces the file with the text in code page 936, no terminator.
    void saveTxtFile(const std::string& file, const std::string& text);
    // The trimmed non-empty lines of the file (code page 936); returns their number.
    int32_t loadTxtListFile(const std::string& file, List& lines) const;
    // Replaces the file with the lines, each ending in CR LF.
    void saveTxtListFile(const std::string& file, const List& lines);
    // Appends the text and CR LF, creating the file when missing.
    bool appendToTxtFile(const std::string& file, const std::string& text);
    bool add2TxtFile(const std::string& file, const std::string& text);
    std::string getFromTxtFile(const std::string& file) const;
    // The file's lines that are not null lines, each followed by CR LF; the file is not changed.
    std::string delAllSpaceLines(const std::string& file) const;
    // The visible text of an HTML file's body (no scripts or styles).
    std::string loadHtmToTxt(const std::string& file) const;

    // ---- Character-set detection and conversion ------------------------------------------------
    // Samples at most the first 1001 bytes: true for pure ASCII, for a first byte above 127 in
    // the second half of the sample, and for text whose high bytes start three-byte UTF-8
    // sequences (E0..EF) in more than 90 % of the steps; false for no bytes.
    static bool binIsUTF8(const Bytes& bytes);
    // True if EF BB BF occurs at a position 0 ... min(last index, 500) - 10.
    static bool binIsUTF8_3(const Bytes& bytes);
    // True if FF FE occurs at a position 0 ... min(last index, 800) - 10.
    static bool binIsUnicode(const Bytes& bytes);
    // UTF-8 bytes (up to the first zero byte) -> code page 936 bytes; returns the new count.
    static int64_t UTF82ANSI(Bytes& bytes);
    // UTF-16 LE bytes without their first character -> code page 936 bytes; returns the count.
    static int64_t unicode2ANSI(Bytes& bytes);

    // ---- Width in code page 936 bytes -----------------------------------------------------------
    static int64_t ddStrlen(const std::string& text);
    // The first / last n bytes of the code page 936 form; a cut character becomes "?".
    static std::string ddStrLeft(const std::string& text, int64_t n);
    static std::string ddStrRight(const std::string& text, int64_t n);
    // True if every character is a space, an ideographic space or NUL (an empty line is null).
    static bool isNullLine(const std::string& line);

    // ---- Size texts: kilobytes / megabytes rounded up, with "K" / "M" unless noUnit ---------------
    static std::string lenKstr(int64_t bytes, bool noUnit);
    static std::string lenKstrDbl(double bytes, bool noUnit);
    static std::string lenMstr(double bytes, bool noUnit);

    // ---- Name sorting (stable; keys from the titles) ---------------------------------------------
    // By title padded on the left to the first title's length + 6, ignoring case: "2" before "10".
    void sortfnamesByStr(List& names) const;
    // By bare title, byte order.
    void sortfnamesByChnStr(List& names) const;
    // By the number of the last run of digits in the title.
    void sortfnamesByNum(List& names) const;
    // By the title read as a 32-bit number after each marker became "0"; a title that is not a
    // number stops the sort, leaving the list as it was.
    void sortfnames3(List& names, const std::string& marker) const;
    // By the files' creation / last-write times.
    void sortfnamesByCreateDate(List& names) const;
    void sortfnamesByWriteDate(List& names) const;
    // The first free folder + n (at least `digits` digits) + "_" + title + "." + extension
    // beside an existing file; the file itself when it does not exist.
    std::string getNewFileNameByNum(const std::string& file, int32_t digits) const;

    // ---- Chinese numerals ------------------------------------------------------------------------
    // "1234" gives 一千二百三十四, "3.14" gives 三点一四. From 10^16 on, the message hook shows the
    // limit message and the result is "".
    static std::string NumToChineseNum(const std::string& number);
    // 一千二百三十四 gives "1234"; capital forms are accepted.
    static std::string ChineseNumToNum2(const std::string& numeral);
    // True if the character (one UTF-8 character) is a Chinese digit or unit.
    static bool isChineseNum(const std::string& character);
    // The text with the span from its first to its last Chinese numeral character replaced by
    // its decimal value (第二十章 gives 第20章).
    static std::string replaceChineseNUm(const std::string& text);

    // Spaces (U+0020) removed from both ends.
    static std::string trim(const std::string& text);

private:
    int32_t tmpCounter_ = 0;
};
