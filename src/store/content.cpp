// The stored form of document content: scrambled, checksummed, compressed from 256 bytes on.
#include <algorithm>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/codepage.h"
#include "util/crc32.h"
#include "util/path_text.h"

namespace store {

namespace {

constexpr size_t kCompressFrom = 256;
// Deflate cannot shrink data by more than about 1032:1; a larger claimed size is damage.
constexpr int64_t kMaxInflateRatio = 1032;

}  // namespace

void ctreebook::encodeNr(Bytes& bytes, int32_t n) {
    if (n <= 0) return;
    const uint8_t key = static_cast<uint8_t>(n % 199 + 24);
    const size_t last = std::min<size_t>(std::min(n, 20), bytes.empty() ? 0 : bytes.size() - 1);
    for (size_t i = 1; i <= last; ++i) bytes[i] ^= key;
}

void ctreebook::decodeNr(Bytes& bytes, int32_t n) { encodeNr(bytes, n); }

bool ctreebook::zipBin2bin(Bytes& bytes) {
    if (bytes.size() < kCompressFrom) return false;
    return zlib_.CompressData(bytes) == 0 && zlib_.CompressedSize() > 0;
}

int32_t ctreebook::unZip2bin(Bytes& bytes, int32_t n) {
    return zlib_.DecompressData(bytes, n) == 0 ? n : 0;
}

int32_t ctreebook::zipStr2bin(const std::string& text, Bytes& bytes, int32_t& crc) {
    Bytes ansi = util::utf8ToAnsi(text);
    if (ansi.empty()) {
        bytes.assign(1, 0);
        crc = 0;
        return 0;
    }
    const int32_t n = static_cast<int32_t>(ansi.size());
    crc = Modcrc32::getCRC32(ansi);
    if (zlib_.CompressData(ansi) != 0) return -1;
    bytes = std::move(ansi);
    return n;
}

std::string ctreebook::unZip2Text(const Bytes& bytes, int32_t n) {
    Bytes inflated = bytes;
    if (n <= 0 || zlib_.DecompressData(inflated, n) != 0) return {};
    return util::ansiToUtf8(inflated);
}

void ctreebook::toStoredForm(Bytes& bytes, int32_t n, bool compress, int32_t& crc, bool& zed) {
    encodeNr(bytes, n);
    crc = Modcrc32::getCRC32(bytes);
    zed = compress && zipBin2bin(bytes);
}

int32_t ctreebook::decodeCurrentNR(Bytes& bytes) {
    engine::Recordset& rs = *nrRS_;
    const int32_t n = longOrZero(rs.field("size"));
    const long stored = rs.fieldSize("nr");
    if (n <= 0 || stored <= 0) return 0;
    Bytes content;
    if (boolOrFalse(rs.field("zed"))) {
        if (n > stored * kMaxInflateRatio + 1024) return 0;
        content = rs.getChunk("nr", 0, stored);
        if (zlib_.DecompressData(content, n) != 0 || content.size() != static_cast<size_t>(n)) return 0;
    } else {
        if (stored < n) return 0;
        content = rs.getChunk("nr", 0, n);
        if (content.size() != static_cast<size_t>(n)) return 0;
    }
    decodeNr(content, n);
    bytes = std::move(content);
    return n;
}

int32_t ctreebook::getNR(int32_t id, Bytes& bytes) {
    if (!open_ || !nrRS_) return 0;
    try {
        return seekID(*nrRS_, id) ? decodeCurrentNR(bytes) : 0;
    } catch (...) {
        return 0;
    }
}

int32_t ctreebook::getNRfull(int32_t id, Bytes& bytes, std::string& gs, bool& readed,
                             engine::Date& dt, int32_t& pid, int32_t& crc) {
    if (!open_ || !rs_ || !nrRS_) return -1;
    try {
        if (seekID(*rs_, id)) {
            pid = longOrZero(rs_->field("pid"));
            dt = dateOrZero(rs_->field("dt"));
            readed = boolOrFalse(rs_->field("readed"));
        }
        if (!seekID(*nrRS_, id)) return -1;
        gs = util::asciiLower(trimNull(nrRS_->field("gs")));
        crc = longOrZero(nrRS_->field("crc"));
        return decodeCurrentNR(bytes);
    } catch (...) {
        return -1;
    }
}

int32_t ctreebook::getCurrNR(Bytes& bytes) {
    if (!open_ || !nrRS_) return 0;
    try {
        return nrRS_->eof() || nrRS_->bof() ? 0 : decodeCurrentNR(bytes);
    } catch (...) {
        return 0;
    }
}

std::string ctreebook::getTextNR(int32_t id) {
    Bytes bytes;
    if (gsByid(id) != "txt" || getNR(id, bytes) <= 0) return {};
    return util::ansiToUtf8(bytes);
}

std::string ctreebook::getHtmNR(int32_t id) {
    const std::string gs = gsByid(id);
    Bytes bytes;
    if ((gs != "htm" && gs != "html") || getNR(id, bytes) <= 0) return {};
    const std::string file = files_.tmpFileName(gs);
    if (file.empty() || files_.saveBinFile(file, bytes) != 1) return {};
    std::string text = files_.loadHtmToTxt(file);
    files_.delFile(file, true);
    return text;
}

bool ctreebook::updateTxtNR(int32_t id, Bytes& bytes, int32_t n) {
    if (!open_ || !nrRS_ || n < 1 || static_cast<size_t>(n) > bytes.size()) return false;
    try {
        if (!seekID(*nrRS_, id)) return false;
        bytes.resize(static_cast<size_t>(n));
        int32_t crc = 0;
        bool zed = false;
        toStoredForm(bytes, n, zed_, crc, zed);
        nrRS_->edit();
        nrRS_->setField("crc", engine::Value(crc));
        nrRS_->setField("size", engine::Value(n));
        nrRS_->setField("zed", engine::Value(zed));
        nrRS_->appendChunk("nr", bytes);
        nrRS_->update();
        return true;
    } catch (...) {
        abandonEdit(nrRS_.get());
        return false;
    }
}

bool ctreebook::putNR(int32_t id, Bytes& bytes) {
    return updateTxtNR(id, bytes, static_cast<int32_t>(bytes.size()));
}

}  // namespace store
