// A library of pictures and a shown picture browser, for the browser and show tests.
#pragma once

#include "pictures/picture_browser.h"
#include "platform/dialogs.h"
#include "support/picture_bytes.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace picture_test {

inline store::Bytes png(QColor colour, QSize size = QSize(40, 30)) {
    return testing_support::encodedPictureBytes(colour, size, "PNG");
}

// The colour in the middle of what Picture1 shows.
inline QColor shownColour(const pictures::PictureBrowser& browser) {
    const QImage& picture = browser.shownPicture();
    if (picture.isNull()) return {};
    return picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

class PictureBrowserTest : public ::testing::Test {
protected:
    // Root
    //   Pics: Red (png 400 x 200), Note (txt), Green (png), Broken (png that is no picture),
    //         Blue (png)
    //     Sub: Yellow (png)
    //   Many: twenty pictures
    //   Empty: only a text
    //   Locked: Cyan (png), password "pw"
    void SetUp() override {
        ASSERT_TRUE(book.createBookMDB(library));
        ASSERT_TRUE(book.openDB(library));
        ids["Pics"] = book.insertPathBT("Pics", 1);
        ids["Red"] = book.insertRec(ids["Pics"], "Red", "png", png(Qt::red, QSize(400, 200)));
        ids["Note"] = book.insertNRBT(ids["Pics"], "Note", "text, not a picture");
        ids["Green"] = book.insertRec(ids["Pics"], "Green", "png", png(Qt::green));
        ids["Broken"] = book.insertRec(ids["Pics"], "Broken", "png", store::Bytes(64, 7));
        ids["Blue"] = book.insertRec(ids["Pics"], "Blue", "jpg", png(Qt::blue));
        ids["Sub"] = book.insertPathBT("Sub", ids["Pics"]);
        ids["Yellow"] = book.insertRec(ids["Sub"], "Yellow", "png", png(Qt::yellow));
        ids["Many"] = book.insertPathBT("Many", 1);
        for (int i = 0; i < 20; ++i) book.insertRec(ids["Many"], "m" + std::to_string(i), "png", png(QColor(i * 10, 0, 0)));
        ids["Empty"] = book.insertPathBT("Empty", 1);
        book.insertNRBT(ids["Empty"], "Only", "words");
        ids["Locked"] = book.insertPathBT("Locked", 1);
        ids["Cyan"] = book.insertRec(ids["Locked"], "Cyan", "png", png(Qt::cyan));
        ASSERT_TRUE(book.putPasswd("pw", ids["Locked"]));
        book.passwordPrompts.askPassword = [this](const std::string& prompt) {
            prompts.push_back(prompt);
            return passwordAnswer;
        };
        platform::dialogAnswers().message = [this](const QString& title, const QString& text, platform::MessageIcon icon) {
            messages.push_back(title + "|" + text);
            icons.push_back(icon);
        };
        browser.resize(800, 600);
        browser.show();
    }

    void TearDown() override { platform::dialogAnswers() = {}; }

    // A class below the root holding pictures of the given colours and sizes; its id.
    int32_t addClass(const std::string& name, const std::vector<std::pair<QColor, QSize>>& pictures) {
        const int32_t id = book.insertPathBT(name, 1);
        for (size_t i = 0; i < pictures.size(); ++i)
            book.insertRec(id, name + std::to_string(i), "png", png(pictures[i].first, pictures[i].second));
        return id;
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(browser.Command2, &event);
    }

    void wheel(int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(browser.Picture1, &event);
    }

    void trigger(const char* entry) {
        QAction* action = browser.findChild<QAction*>(entry);
        ASSERT_NE(action, nullptr) << entry;
        action->trigger();
    }

    testing_support::TempDir dir;
    std::string library = dir.file("pictures.mdb");
    store::ctreebook book;
    std::map<std::string, int32_t> ids;
    std::vector<std::string> prompts;
    std::vector<QString> messages;
    std::vector<platform::MessageIcon> icons;
    std::string passwordAnswer;
    pictures::PictureBrowser browser;
};

}  // namespace picture_test
