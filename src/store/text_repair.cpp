// Character-set and HTML conversions of stored documents, rewritten in place.
#include "store/ctreebook.h"
#include "util/codepage.h"

namespace store {

bool ctreebook::rewriteContent(int32_t id, const std::function<bool(Bytes&)>& convert) {
    Bytes bytes;
    if (getNR(id, bytes) <= 0 || !convert(bytes) || bytes.empty()) return false;
    return putNR(id, bytes);
}

bool ctreebook::HtmToTxt(int32_t id) {
    const std::string text = getHtmNR(id);
    if (text.empty()) return false;
    Bytes bytes = util::utf8ToAnsi(text);
    return !bytes.empty() && putNR(id, bytes) && changeGS(id, "txt");
}

bool ctreebook::uncode2ansi(int32_t id) {
    return rewriteContent(id, [](Bytes& bytes) {
        if (clsFilePath::binIsUnicode(bytes)) return clsFilePath::unicode2ANSI(bytes) > 0;
        if (clsFilePath::binIsUTF8(bytes)) return clsFilePath::UTF82ANSI(bytes) > 0;
        return false;
    });
}

bool ctreebook::uncode2ansi2(int32_t id) {
    return rewriteContent(id, [](Bytes& bytes) { return clsFilePath::unicode2ANSI(bytes) > 0; });
}

bool ctreebook::utf82ansi2(int32_t id) {
    return rewriteContent(id, [](Bytes& bytes) { return clsFilePath::UTF82ANSI(bytes) > 0; });
}

}  // namespace store
