#include "util/html_text.h"

#include <gumbo.h>

#include <cctype>
#include <string>
#include <vector>

namespace util {
namespace {

// Gumbo's cost grows with the square of the nesting depth, so markup nested deeper than this
// (only hostile or broken pages do) has its deeper tags dropped before parsing; their text stays.
constexpr int kMaxDepth = 256;

bool tagNameIs(std::string_view html, size_t at, std::string_view name) {
    if (at + name.size() > html.size()) return false;
    for (size_t k = 0; k < name.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(html[at + k])) != name[k]) return false;
    size_t after = at + name.size();
    return after == html.size() || !std::isalnum(static_cast<unsigned char>(html[after]));
}

// Elements that never hold children or are closed implicitly: they do not deepen the tree.
bool isFlatTag(std::string_view html, size_t nameAt) {
    for (std::string_view name : {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
                                  "param", "source", "track", "wbr", "p", "li", "td", "th", "tr", "option",
                                  "dt", "dd"})
        if (tagNameIs(html, nameAt, name)) return true;
    return false;
}

// The end of the tag that starts at `at` (one past its ">"), honouring quoted attribute values.
size_t tagEnd(std::string_view html, size_t at) {
    char quote = 0;
    for (size_t i = at + 1; i < html.size(); ++i) {
        char c = html[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return html.size();
}

// The markup with start and end tags below kMaxDepth removed.
std::string limitNesting(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    int depth = 0;
    size_t i = 0;
    while (i < html.size()) {
        size_t lt = html.find('<', i);
        if (lt == std::string_view::npos) lt = html.size();
        out.append(html.substr(i, lt - i));
        if (lt + 1 >= html.size()) {
            out.append(html.substr(lt));
            break;
        }
        if (html.compare(lt, 4, "<!--") == 0) {
            size_t close = html.find("-->", lt + 4);
            size_t end = close == std::string_view::npos ? html.size() : close + 3;
            out.append(html.substr(lt, end - lt));
            i = end;
            continue;
        }
        bool closing = html[lt + 1] == '/';
        size_t nameAt = lt + (closing ? 2 : 1);
        if (nameAt >= html.size() || !std::isalpha(static_cast<unsigned char>(html[nameAt]))) {
            out += '<';
            i = lt + 1;
            continue;
        }
        size_t end = tagEnd(html, lt);
        bool selfClosing = end >= 2 && html[end - 2] == '/';
        bool flat = selfClosing || isFlatTag(html, nameAt);
        bool keep = true;
        if (!flat && closing) {
            keep = depth <= kMaxDepth;
            if (depth > 0) --depth;
        } else if (!flat) {
            keep = ++depth <= kMaxDepth;
        }
        if (keep) out.append(html.substr(lt, end - lt));
        i = end;
        // Script and style bodies are raw text: copy them up to their end tag.
        for (std::string_view raw : {"script", "style"}) {
            if (!closing && tagNameIs(html, nameAt, raw)) {
                size_t close = i;
                while ((close = html.find("</", close)) != std::string_view::npos && !tagNameIs(html, close + 2, raw)) ++close;
                if (close == std::string_view::npos) close = html.size();
                if (keep) out.append(html.substr(i, close - i));
                i = close;
            }
        }
    }
    return out;
}

bool isHidden(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_SCRIPT:
        case GUMBO_TAG_STYLE:
        case GUMBO_TAG_HEAD:
        case GUMBO_TAG_TITLE:
        case GUMBO_TAG_NOSCRIPT:
        case GUMBO_TAG_TEMPLATE:
        case GUMBO_TAG_IFRAME:
        case GUMBO_TAG_OBJECT:
        case GUMBO_TAG_SELECT:
            return true;
        default:
            return false;
    }
}

bool isBlock(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_P: case GUMBO_TAG_DIV: case GUMBO_TAG_H1: case GUMBO_TAG_H2: case GUMBO_TAG_H3:
        case GUMBO_TAG_H4: case GUMBO_TAG_H5: case GUMBO_TAG_H6: case GUMBO_TAG_LI: case GUMBO_TAG_UL:
        case GUMBO_TAG_OL: case GUMBO_TAG_TABLE: case GUMBO_TAG_TR: case GUMBO_TAG_PRE:
        case GUMBO_TAG_BLOCKQUOTE: case GUMBO_TAG_SECTION: case GUMBO_TAG_ARTICLE: case GUMBO_TAG_HEADER:
        case GUMBO_TAG_FOOTER: case GUMBO_TAG_NAV: case GUMBO_TAG_ASIDE: case GUMBO_TAG_HR: case GUMBO_TAG_DL:
        case GUMBO_TAG_DT: case GUMBO_TAG_DD: case GUMBO_TAG_ADDRESS: case GUMBO_TAG_FORM:
        case GUMBO_TAG_FIELDSET: case GUMBO_TAG_CENTER: case GUMBO_TAG_CAPTION: case GUMBO_TAG_FIGURE:
            return true;
        default:
            return false;
    }
}

class TextWriter {
public:
    void text(std::string_view s, bool preformatted) {
        for (char c : s) {
            bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
            if (preformatted) {
                if (c == '\r') continue;
                if (c == '\n') {
                    lineBreak();
                } else {
                    out_ += c;
                    pendingSpace_ = false;
                }
            } else if (space) {
                pendingSpace_ = !out_.empty() && !atLineStart();
            } else {
                if (pendingSpace_) out_ += ' ';
                pendingSpace_ = false;
                out_ += c;
            }
        }
    }
    void lineBreak() {
        out_ += "\r\n";
        pendingSpace_ = false;
    }
    // A block starts or ends: begin a new line unless one has just begun.
    void blockEdge() {
        if (!out_.empty() && !atLineStart()) lineBreak();
        pendingSpace_ = false;
    }
    std::string finish() {
        while (out_.size() >= 2 && out_.ends_with("\r\n")) out_.resize(out_.size() - 2);
        return out_;
    }

private:
    bool atLineStart() const { return out_.ends_with('\n'); }
    std::string out_;
    bool pendingSpace_ = false;
};

// Depth-first without recursion: hostile pages nest deeply.
void collect(const GumboNode* root, TextWriter& w) {
    struct Item {
        const GumboNode* node;
        bool closing;
        bool pre;
    };
    std::vector<Item> stack{{root, false, false}};
    while (!stack.empty()) {
        Item item = stack.back();
        stack.pop_back();
        const GumboNode* node = item.node;
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE || node->type == GUMBO_NODE_CDATA) {
            w.text(node->v.text.text, item.pre);
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
        GumboTag tag = node->v.element.tag;
        if (item.closing) {
            if (isBlock(tag)) w.blockEdge();
            continue;
        }
        if (isHidden(tag)) continue;
        if (tag == GUMBO_TAG_BR) {
            w.lineBreak();
            continue;
        }
        if (isBlock(tag)) w.blockEdge();
        bool pre = item.pre || tag == GUMBO_TAG_PRE || tag == GUMBO_TAG_TEXTAREA;
        stack.push_back({node, true, pre});
        const GumboVector& children = node->v.element.children;
        for (unsigned i = children.length; i-- > 0;)
            stack.push_back({static_cast<const GumboNode*>(children.data[i]), false, pre});
    }
}

const GumboNode* findBody(const GumboNode* html) {
    if (html->type != GUMBO_NODE_ELEMENT) return nullptr;
    const GumboVector& children = html->v.element.children;
    for (unsigned i = 0; i < children.length; ++i) {
        auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY) return child;
    }
    return nullptr;
}

}  // namespace

std::string htmlBodyText(std::string_view html) {
    std::string limited = limitNesting(html);
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, limited.data(), limited.size());
    if (!output) return {};
    TextWriter writer;
    if (const GumboNode* body = findBody(output->root)) collect(body, writer);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return writer.finish();
}

}  // namespace util
