#include "util/shell_link.h"

#include "util/codepage.h"

#include <array>
#include <cstring>

namespace util {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
constexpr std::array<uint8_t, 16> kLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum LinkFlags : uint32_t {
    HasLinkTargetIDList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};
constexpr uint32_t kVolumeIDAndLocalBasePath = 0x1;
constexpr uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr uint32_t kShowNormal = 1;
constexpr uint32_t kDriveFixed = 3;

// ---- writing ----

class Writer {
public:
    void u16(uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void bytes(const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); }
    void zeros(size_t n) { out.insert(out.end(), n, 0); }
    void putU32At(size_t at, uint32_t v) {
        for (int k = 0; k < 4; ++k) out[at + static_cast<size_t>(k)] = static_cast<uint8_t>(v >> (8 * k));
    }
    std::vector<uint8_t> out;
};

void writeLinkInfo(Writer& w, const std::string& target) {
    Bytes ansiPath = utf8ToAnsi(target);
    Bytes widePath = utf8ToUtf16le(target);
    const uint32_t headerSize = 0x24;
    const uint32_t volumeSize = 0x11;  // header of 16 bytes and an empty label
    const uint32_t volumeOffset = headerSize;
    const uint32_t localOffset = volumeOffset + volumeSize;
    const uint32_t suffixOffset = localOffset + static_cast<uint32_t>(ansiPath.size()) + 1;
    const uint32_t localUnicodeOffset = suffixOffset + 1;
    const uint32_t suffixUnicodeOffset = localUnicodeOffset + static_cast<uint32_t>(widePath.size()) + 2;
    const uint32_t total = suffixUnicodeOffset + 2;

    w.u32(total);
    w.u32(headerSize);
    w.u32(kVolumeIDAndLocalBasePath);
    w.u32(volumeOffset);
    w.u32(localOffset);
    w.u32(0);  // no network link
    w.u32(suffixOffset);
    w.u32(localUnicodeOffset);
    w.u32(suffixUnicodeOffset);
    // VolumeID
    w.u32(volumeSize);
    w.u32(kDriveFixed);
    w.u32(0);     // serial number
    w.u32(0x10);  // label offset
    w.zeros(1);   // empty label
    w.bytes(ansiPath.data(), ansiPath.size());
    w.zeros(1);
    w.zeros(1);  // empty common path suffix
    w.bytes(widePath.data(), widePath.size());
    w.u16(0);
    w.u16(0);  // empty unicode suffix
}

// ---- reading ----

struct Malformed {};

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& b) : b_(b) {}
    uint32_t u16(size_t at) const {
        need(at, 2);
        return b_[at] | (uint32_t{b_[at + 1]} << 8);
    }
    uint32_t u32(size_t at) const { return u16(at) | (u16(at + 2) << 16); }
    // A NUL-terminated code page string that must end before `limit`.
    std::string ansiz(size_t at, size_t limit) const {
        size_t end = at;
        while (true) {
            need(end, 1);
            if (end >= limit) throw Malformed{};
            if (b_[end] == 0) break;
            ++end;
        }
        return ansiToUtf8(b_.data() + at, end - at);
    }
    // A NUL-terminated UTF-16 string that must end before `limit`.
    std::string widez(size_t at, size_t limit) const {
        size_t end = at;
        while (true) {
            if (end + 2 > limit) throw Malformed{};
            if (u16(end) == 0) break;
            end += 2;
        }
        return utf16leToUtf8(b_.data() + at, end - at);
    }
    std::string counted(size_t at, size_t chars, bool unicode) const {
        size_t bytes = unicode ? chars * 2 : chars;
        need(at, bytes);
        return unicode ? utf16leToUtf8(b_.data() + at, bytes) : ansiToUtf8(b_.data() + at, bytes);
    }
    void need(size_t at, size_t n) const {
        if (at > b_.size() || n > b_.size() - at) throw Malformed{};
    }

private:
    const std::vector<uint8_t>& b_;
};

std::string joinSuffix(std::string base, const std::string& suffix) {
    if (suffix.empty()) return base;
    if (!base.empty() && base.back() != '\\' && base.back() != '/') base += '\\';
    return base + suffix;
}

// The target that a LinkInfo structure at `at` names; "" when it names none.
std::string linkInfoTarget(const Reader& r, size_t at) {
    const size_t size = r.u32(at);
    r.need(at, size);
    const size_t end = at + size;
    const uint32_t headerSize = r.u32(at + 4);
    if (headerSize < 0x1C || headerSize > size) throw Malformed{};
    const uint32_t flags = r.u32(at + 8);
    const bool wide = headerSize >= 0x24;
    auto offset = [&](size_t field) -> size_t {
        size_t value = r.u32(at + field);
        if (value >= size) throw Malformed{};
        return at + value;
    };
    std::string suffix;
    if (r.u32(at + 24) != 0) suffix = wide && r.u32(at + 32) ? r.widez(offset(32), end) : r.ansiz(offset(24), end);
    if (flags & kVolumeIDAndLocalBasePath) {
        std::string base = wide && r.u32(at + 28) ? r.widez(offset(28), end) : r.ansiz(offset(16), end);
        return joinSuffix(base, suffix);
    }
    if (flags & kCommonNetworkRelativeLinkAndPathSuffix) {
        size_t net = offset(20);
        size_t netSize = r.u32(net);
        if (netSize < 0x14 || netSize > end - net) throw Malformed{};
        size_t netNameOffset = r.u32(net + 8);
        std::string name;
        if (netNameOffset > 0x14 && r.u32(net + 20) && r.u32(net + 20) < netSize)
            name = r.widez(net + r.u32(net + 20), net + netSize);
        else if (netNameOffset < netSize)
            name = r.ansiz(net + netNameOffset, net + netSize);
        else
            throw Malformed{};
        return joinSuffix(name, suffix);
    }
    return {};
}

}  // namespace

std::vector<uint8_t> writeShellLink(const ShellLink& link) {
    Writer w;
    uint32_t flags = HasLinkInfo | IsUnicode | (link.workingFolder.empty() ? 0u : uint32_t{HasWorkingDir});
    w.u32(kHeaderSize);
    w.bytes(kLinkClsid.data(), kLinkClsid.size());
    w.u32(flags);
    w.u32(0);    // file attributes
    w.zeros(24);  // creation, access and write times
    w.u32(0);    // file size
    w.u32(0);    // icon index
    w.u32(kShowNormal);
    w.u16(0);  // hot key
    w.zeros(10);
    writeLinkInfo(w, link.target);
    if (!link.workingFolder.empty()) {
        Bytes folder = utf8ToUtf16le(link.workingFolder);
        w.u16(static_cast<uint32_t>(folder.size() / 2));
        w.bytes(folder.data(), folder.size());
    }
    w.u32(0);  // terminal extra-data block
    return w.out;
}

std::optional<ShellLink> readShellLink(const std::vector<uint8_t>& bytes) {
    try {
        Reader r(bytes);
        if (r.u32(0) != kHeaderSize) return std::nullopt;
        r.need(4, kLinkClsid.size());
        if (std::memcmp(bytes.data() + 4, kLinkClsid.data(), kLinkClsid.size()) != 0) return std::nullopt;
        const uint32_t flags = r.u32(20);
        size_t at = kHeaderSize;
        if (flags & HasLinkTargetIDList) at += 2 + r.u16(at);
        ShellLink link;
        if (flags & HasLinkInfo) {
            link.target = linkInfoTarget(r, at);
            at += r.u32(at);
        }
        const bool unicode = flags & IsUnicode;
        std::string relative;
        for (uint32_t field : {HasName, HasRelativePath, HasWorkingDir, HasArguments, HasIconLocation}) {
            if (!(flags & field)) continue;
            size_t chars = r.u16(at);
            std::string value = r.counted(at + 2, chars, unicode);
            at += 2 + (unicode ? 2 * chars : chars);
            if (field == HasRelativePath) relative = value;
            if (field == HasWorkingDir) link.workingFolder = value;
        }
        if (link.target.empty()) link.target = relative;
        if (link.target.empty()) return std::nullopt;
        return link;
    } catch (const Malformed&) {
        return std::nullopt;
    }
}

}  // namespace util
