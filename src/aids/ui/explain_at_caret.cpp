#include "aids/ui/explain_at_caret.h"

#include "aids/explain_text.h"

#include <QAbstractScrollArea>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <QPointer>

#include <optional>

namespace aids {
namespace {

// The selection, or the word at the caret; nothing for a selection of more than twice the key
// limit in UTF-16 units, which is too long in any code page and so is not copied at all.
std::optional<std::string> keyAt(const QTextCursor& cursor) {
    if (cursor.hasSelection()) {
        if (cursor.selectionEnd() - cursor.selectionStart() > int(2 * kMaxKeyBytes)) return std::nullopt;
        QString selected = cursor.selectedText();
        selected.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
        return selected.toStdString();
    }
    // Words never cross a line end, so the caret's paragraph is all that is needed.
    const QString block = cursor.block().text();
    const size_t caret = QStringView(block).left(cursor.positionInBlock()).toUcs4().size();
    return wordAtCaret(block.toStdString(), caret);
}

// A tool-tip text Qt would read as markup is given to it escaped.
QString plainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

void explainCursor(ExplainModule& module, ToolTips& tips, QAbstractScrollArea* box, const QTextCursor& cursor,
                   int mode) {
    if (!box || !module.dictionaryOpen()) return;
    const std::optional<std::string> key = keyAt(cursor);
    const QString shown = QString::fromStdString(shownText(key ? module.explain(*key, mode) : std::string(), mode));
    if (mode == kExplainPlain)
        box->setToolTip(plainToolTip(shown));
    else if (shown.isEmpty())
        tips.removeToolTip(box->viewport());
    else
        tips.addToolTip(box->viewport(), shown, kExplainTipLook);
}

template <class Box>
void explainLater(ExplainModule& module, ToolTips& tips, Box* box, int mode) {
    if (!box) return;
    const QPointer<ToolTips> liveTips(&tips);
    const QPointer<Box> liveBox(box);
    QMetaObject::invokeMethod(
        box,
        [&module, liveTips, liveBox, mode] {
            if (liveTips && liveBox) explainAtCaret(module, *liveTips, liveBox.data(), mode);
        },
        Qt::QueuedConnection);
}

}  // namespace

void explainAtCaret(ExplainModule& module, ToolTips& tips, QPlainTextEdit* box, int mode) {
    if (box) explainCursor(module, tips, box, box->textCursor(), mode);
}

void explainAtCaret(ExplainModule& module, ToolTips& tips, QTextEdit* box, int mode) {
    if (box) explainCursor(module, tips, box, box->textCursor(), mode);
}

void explainAfterRelease(ExplainModule& module, ToolTips& tips, QPlainTextEdit* box, int mode) {
    explainLater(module, tips, box, mode);
}

void explainAfterRelease(ExplainModule& module, ToolTips& tips, QTextEdit* box, int mode) {
    explainLater(module, tips, box, mode);
}

}  // namespace aids
