// The word explanation of a text box, run when a mouse button is released over it.
//
// The key is the box's selection, or else the word at its caret; ExplainModule explains it.
// Mode 1 makes the result the box's own tool tip (also when it is empty or "No explain!");
// any other mode shows a non-empty result as a balloon of the window's ToolTips (long ones
// shortened; see shownText), and removes the box's earlier balloon when there is nothing to
// show. Nothing happens while the dictionary is closed. Callers skip mode 0.
#pragma once

#include "aids/explain_module.h"
#include "aids/ui/tool_tips.h"

class QPlainTextEdit;
class QTextEdit;

namespace aids {

// The look of explanation balloons: pale yellow (red 255, green 255, blue 238), black text.
inline constexpr TipLook kExplainTipLook{0xEEFFFF, 0x000000, 600, 500, 7000, false};

void explainAtCaret(ExplainModule& module, ToolTips& tips, QPlainTextEdit* box, int mode);
void explainAtCaret(ExplainModule& module, ToolTips& tips, QTextEdit* box, int mode);

// The same, run once the event loop is back. An event filter on the box's viewport sees a
// mouse-button release before the box does, and a click into a selection moves the caret
// (clearing the selection) only when the box handles the release: explaining later takes the
// word clicked, not the old selection. Nothing runs when the box or the tips are gone by then.
void explainAfterRelease(ExplainModule& module, ToolTips& tips, QPlainTextEdit* box, int mode);
void explainAfterRelease(ExplainModule& module, ToolTips& tips, QTextEdit* box, int mode);

}  // namespace aids
