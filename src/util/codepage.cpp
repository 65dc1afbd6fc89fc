#include "util/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace util {
namespace {

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; on a sequence that cannot be converted, writes the replacement
    // and skips `skip(in, left)` input bytes.
    template <class Skip>
    std::string run(const uint8_t* data, size_t size, Skip skip, std::string_view replacement = "?") {
        std::string out;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.resize(size * 2 + 16);
        char* in = reinterpret_cast<char*>(const_cast<uint8_t*>(data));
        size_t inLeft = size;
        size_t used = 0;
        while (inLeft > 0) {
            char* dst = out.data() + used;
            size_t dstLeft = out.size() - used;
            size_t rc = iconv(cd_, &in, &inLeft, &dst, &dstLeft);
            used = out.size() - dstLeft;
            if (rc != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2);
                continue;
            }
            // EILSEQ or EINVAL (truncated sequence at the end): one default character.
            if (out.size() - used < replacement.size()) out.resize(out.size() * 2);
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
            size_t n = skip(reinterpret_cast<const uint8_t*>(in), inLeft);
            in += n;
            inLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence that starts at p (1 for a stray byte).
size_t utf8SequenceLength(const uint8_t* p, size_t left) {
    size_t len = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
    if (len > left) return 1;
    for (size_t k = 1; k < len; ++k)
        if ((p[k] & 0xC0) != 0x80) return 1;
    return len;
}

}  // namespace

Bytes utf8ToAnsi(std::string_view utf8) {
    thread_local Converter conv("CP936", "UTF-8");
    std::string s = conv.run(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), utf8SequenceLength);
    return Bytes(s.begin(), s.end());
}

std::string ansiToUtf8(const uint8_t* data, size_t size) {
    thread_local Converter conv("UTF-8", "CP936");
    return conv.run(data, size, [](const uint8_t*, size_t) { return size_t{1}; });
}

std::string ansiToUtf8(const Bytes& ansi) { return ansiToUtf8(ansi.data(), ansi.size()); }

Bytes utf8ToUtf16le(std::string_view utf8) {
    thread_local Converter conv("UTF-16LE", "UTF-8");
    std::string s = conv.run(reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), utf8SequenceLength,
                             std::string_view("?\0", 2));
    return Bytes(s.begin(), s.end());
}

size_t ansiPrefixLength(const Bytes& ansi, size_t limit) {
    size_t i = 0;
    while (i < ansi.size() && i < limit) {
        size_t len = ansi[i] >= 0x81 && ansi[i] <= 0xFE && i + 1 < ansi.size() ? 2 : 1;
        if (i + len > limit) break;
        i += len;
    }
    return i;
}

std::string utf16leToUtf8(const uint8_t* data, size_t size) {
    thread_local Converter conv("UTF-8", "UTF-16LE");
    return conv.run(data, size & ~size_t{1}, [](const uint8_t*, size_t left) { return left < 2 ? left : size_t{2}; });
}

}  // namespace util
