// A main window on a small library the test builds itself: fake viewers that record what they
// were given, every dialog answered, nothing handed to the operating system.
#pragma once

#include "browser/main_window.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "settings/ini_file.h"
#include "support/picture_bytes.h"
#include "support/temp_dir.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// One value of the settings file, read and written as the program does it.
inline std::string iniValue(const std::string& file, const std::string& section, const std::string& key) {
    cInifile ini;
    ini.path = file;
    ini.section = section;
    ini.key = key;
    return ini.Value();
}

inline void setIniValue(const std::string& file, const std::string& section, const std::string& key,
                        const std::string& value) {
    cInifile ini;
    ini.path = file;
    ini.section = section;
    ini.key = key;
    ini.setValue(value);
}

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace browser_test {

// What a fake viewer was asked to show, as "kind:path".
inline std::vector<QString>& viewerLog() {
    static std::vector<QString> log;
    return log;
}

class FakeViewer : public platform::Viewer {
public:
    FakeViewer(platform::ViewerKind kind, QString name, QWidget* parent)
        : kind_(kind), name_(std::move(name)), widget_(new QWidget(parent)) {}
    platform::ViewerKind kind() const override { return kind_; }
    QWidget* widget() override { return widget_; }
    bool showFile(const QString& path) override {
        viewerLog().push_back(name_ + ":" + path);
        return true;
    }
    bool showUrl(const QString& url) override {
        viewerLog().push_back(name_ + ":" + url);
        return true;
    }
    void hideViewer() override { widget_->hide(); }

private:
    platform::ViewerKind kind_;
    QString name_;
    QWidget* widget_;
};

// Every viewer but Flash, which this platform never has.
inline std::unique_ptr<platform::Viewer> fakeViewers(platform::ViewerKind kind, QWidget* parent) {
    using K = platform::ViewerKind;
    switch (kind) {
    case K::Web: return std::make_unique<FakeViewer>(kind, "web", parent);
    case K::Media: return std::make_unique<FakeViewer>(kind, "media", parent);
    case K::Pdf: return std::make_unique<FakeViewer>(kind, "pdf", parent);
    case K::Office: return std::make_unique<FakeViewer>(kind, "office", parent);
    case K::Flash: return nullptr;
    }
    return nullptr;
}

inline store::Bytes pngBytes() { return testing_support::encodedPictureBytes(Qt::red, QSize(40, 30), "PNG"); }

inline store::Bytes bytesOf(const std::string& text) { return store::Bytes(text.begin(), text.end()); }

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VYNE_HOME", home.path().c_str(), 1);
        // The content indexes the window makes go to the test's own cache folder.
        setenv("XDG_CACHE_HOME", home.file("cache").c_str(), 1);
        viewerLog().clear();
        auto& answers = platform::dialogAnswers();
        answers = {};
        answers.message = [this](const QString& title, const QString& text, platform::MessageIcon) {
            messages.push_back(title + "|" + text);
        };
        answers.messageOfferingSilence = [this](const QString&, const QString& text) {
            offered.push_back(text);
            return silenceAnswer;
        };
        answers.openFile = [this](const QString&, const QString&, const QString&) { return fileAnswer; };
        platform::setOsOpener([this](const QUrl& url) {
            handedToOS.push_back(url.toLocalFile().isEmpty() ? url.toString() : url.toLocalFile());
            return true;
        });
        makeLibrary(library);
    }

    void TearDown() override {
        window.reset();
        platform::dialogAnswers() = {};
        platform::setOsOpener({});
        unsetenv("VYNE_HOME");
        unsetenv("XDG_CACHE_HOME");
    }

    // Root
    //   Alpha: Story (txt), Empty (txt, no content), Manual (PDF), Movie (swf), Nowhere (url
    //          without target), Site (url), Page (htm), Red and Blue (png), Letter (doc)
    //     Inner: Deep (txt)
    //   Beta: Second (txt)
    void makeLibrary(const std::string& fileName) {
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(fileName));
        ASSERT_TRUE(book.openDB(fileName));
        ids["Alpha"] = book.insertPathBT("Alpha", 1);
        ids["Story"] = book.insertNRBT(ids["Alpha"], "Story", "你好世界 hello");
        ids["Empty"] = book.insertRec(ids["Alpha"], "Empty", "txt", {});
        ids["Manual"] = book.insertRec(ids["Alpha"], "Manual", "PDF", bytesOf("%PDF-1.4 not really"));
        ids["Movie"] = book.insertRec(ids["Alpha"], "Movie", "swf", bytesOf("FWS fake movie"));
        ids["Nowhere"] = book.insertRec(ids["Alpha"], "Nowhere", "url", {});
        ids["Site"] = book.insertRec(ids["Alpha"], "Site", "url", bytesOf("http://example.org/"));
        ids["Page"] = book.insertRec(ids["Alpha"], "Page", "htm", bytesOf("<p>hi</p>"));
        ids["Red"] = book.insertRec(ids["Alpha"], "Red", "png", pngBytes());
        ids["Blue"] = book.insertRec(ids["Alpha"], "Blue", "png", pngBytes());
        ids["Letter"] = book.insertRec(ids["Alpha"], "Letter", "doc", bytesOf("not really a doc"));
        ids["Inner"] = book.insertPathBT("Inner", ids["Alpha"]);
        ids["Deep"] = book.insertNRBT(ids["Inner"], "Deep", "text of the deep class");
        ids["Beta"] = book.insertPathBT("Beta", 1);
        ids["Second"] = book.insertNRBT(ids["Beta"], "Second", "second text");
        book.closeDB();
    }

    // The window on the library of commandLine, with the fake viewers unless others are given.
    browser::MainWindow& open(const QString& commandLine, browser::BrowserSettings initial = {},
                              decltype(browser::MainWindowSeams::makeViewer) makeViewer = fakeViewers) {
        if (!settings) settings = std::make_shared<browser::MemorySettingsStore>(std::move(initial));
        browser::MainWindowSeams seams;
        seams.makeViewer = std::move(makeViewer);
        seams.settings = settings;
        window = std::make_unique<browser::MainWindow>(std::move(seams));
        window->resize(1000, 700);
        window->show();
        window->loadWindow(commandLine);
        return *window;
    }

    QTreeWidgetItem* node(const std::string& title) {
        return window->nodeByKey(platform::keyOfId(ids.at(title)));
    }

    // Clicks the node: selects it and runs the selection handler.
    void click(const std::string& title) {
        QTreeWidgetItem* item = node(title);
        ASSERT_NE(item, nullptr) << title;
        window->selectAndShow(item);
    }

    testing_support::TempDir dir;
    testing_support::TempDir home;
    std::string library = dir.file("books.mdb");
    std::map<std::string, int32_t> ids;
    std::shared_ptr<browser::MemorySettingsStore> settings;
    std::unique_ptr<browser::MainWindow> window;
    std::vector<QString> messages, offered, handedToOS;
    bool silenceAnswer = false;
    QString fileAnswer;
};

}  // namespace browser_test
