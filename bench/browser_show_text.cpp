// Showing a 5 MB code-page-936 text document in the text pane (reading, decoding, converting
// and putting it in) against QPlainTextEdit::setPlainText of the already decoded text. Both
// sides end with the same event pass, so that both texts are laid out as the user sees them.
#include "browser_support.h"
#include "support/bench.h"

#include "util/codepage.h"

#include "platform/pump.h"

#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace {

// Left to the end of the process: the window outlives the benchmark runs.
browser::MainWindow* window = nullptr;
QPlainTextEdit* plain = nullptr;  // left to the end of the process, as the window
QString decoded;
int32_t docId = 0;

void setUp() {
    setenv("VYNE_HOME", bench::scratchDir().c_str(), 1);
    const std::string library = bench::scratchDir() + "/text.mdb";
    std::string text;
    const std::string line = "春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。The quick brown fox jumps.\r\n";
    while (text.size() < 5u * 1024 * 1024 * 12 / 10) text += line;  // ~5 MB once in code page 936
    {
        store::ctreebook book;
        if (!book.createBookMDB(library) || !book.openDB(library)) throw std::runtime_error("no library");
        const int32_t cls = book.insertPathBT("Poems", 1);
        docId = book.insertNRBT(cls, "Long", text);
        if (docId == 0) throw std::runtime_error("no document");
    }
    window = browser_bench::windowOn(library).release();
    window->showBookDoc(docId);
    decoded = window->rt1->toPlainText();
    if (decoded.size() < 1000000) throw std::runtime_error("text not shown");
    plain = new QPlainTextEdit;
    plain->setFont(window->rt1->font());
    plain->setLineWrapMode(window->rt1->lineWrapMode());
    plain->resize(window->rt1->size());
    plain->show();
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "show_text",
        [] {
            window->showBookDoc(docId);
            platform::yield(0);
            benchmark::DoNotOptimize(window->rt1->document()->blockCount());
        },
        [] {
            plain->setPlainText(decoded);
            platform::yield(0);
            benchmark::DoNotOptimize(plain->document()->blockCount());
        },
        setUp);
}
