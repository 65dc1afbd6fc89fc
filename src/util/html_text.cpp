#include "util/html_text.h"

#include <gumbo.h>

#include <vector>

namespace util {
namespace {

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
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, html.data(), html.size());
    if (!output) return {};
    TextWriter writer;
    if (const GumboNode* body = findBody(output->root)) collect(body, writer);
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return writer.finish();
}

}  // namespace util
