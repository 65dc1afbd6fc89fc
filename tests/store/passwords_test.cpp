// Library and class passwords: storing, checking, the two prompt procedures.
#include <gtest/gtest.h>

#include "recorders.h"
#include "util/file_path.h"

namespace {

using store::ctreebook;
using store_test::TestLibrary;

class Passwords : public ::testing::Test {
protected:
    void SetUp() override {
        cls = b.insertPathBT("Private", 1);
        b.passwordPrompts.askPassword = [this](const std::string& prompt) {
            prompts.push_back(prompt);
            return answer;
        };
        b.passwordPrompts.changePassword = [this](const std::string& old, const std::string& prompt) {
            prompts.push_back(prompt);
            oldAsked = old;
            return newPassword;
        };
    }
    TestLibrary lib;
    ctreebook& b = lib.book;
    int32_t cls = 0;
    std::string answer, newPassword, oldAsked = "(not asked)";
    std::vector<std::string> prompts;
};

TEST_F(Passwords, AClassWithoutPasswordOpensWithoutAPrompt) {
    EXPECT_EQ(b.getPasswd(cls), "ok");
    EXPECT_EQ(b.getPasswd(0), "ok");
    EXPECT_TRUE(store::askPassword(b, cls, ""));
    EXPECT_TRUE(prompts.empty());
}

TEST_F(Passwords, TheEnteredPasswordMustMatchExactly) {
    ASSERT_TRUE(b.putPasswd("Secret 密码", cls));
    EXPECT_EQ(b.attrByid(cls) & 0x1000, 0x1000);
    EXPECT_EQ(b.getPasswd(cls), "Secret 密码");
    struct Case {
        std::string entered;
        bool opens;
    } cases[] = {{"secret 密码", false}, {"", false}, {"Secret", false}, {"  Secret 密码  ", true}};
    for (const Case& c : cases) {
        answer = c.entered;
        EXPECT_EQ(store::askPassword(b, cls, "Open Private"), c.opens) << c.entered;
    }
    EXPECT_EQ(prompts, std::vector<std::string>(4, "Open Private"));
    // Given once, the class stays open until another library is opened.
    EXPECT_EQ(b.getPasswd(cls), "ok");
    EXPECT_TRUE(store::askPassword(b, cls, ""));
    EXPECT_EQ(prompts.size(), 4u);
    ASSERT_TRUE(b.openDB(lib.file));
    EXPECT_EQ(b.getPasswd(cls), "Secret 密码");
    b.closeDB();
    EXPECT_EQ(b.getPasswd(cls), "ok");  // closed: nothing to protect
}

TEST_F(Passwords, TheLibraryPromptNamesTheFile) {
    ASSERT_TRUE(b.putPasswd("pw", 0));
    answer = "pw";
    EXPECT_TRUE(store::askPassword(b, 0, ""));
    EXPECT_EQ(prompts, std::vector<std::string>{"Please input password for book lib lib.mdb"});
    EXPECT_EQ(b.getPasswd(1), "ok");
    // Once given, changing it asks no old password.
    newPassword = "new";
    EXPECT_TRUE(store::changePassword(b, 1, ""));
    EXPECT_EQ(oldAsked, "");
    EXPECT_EQ(prompts.back(), "Change password for book Lib or book class.");
    EXPECT_EQ(b.getPasswd(1), "ok");  // changing does not lock an open class
    ASSERT_TRUE(b.openDB(lib.file));
    EXPECT_EQ(b.getPasswd(1), "new");
}

TEST_F(Passwords, AnEmptyNewPasswordRemovesTheFlag) {
    ASSERT_TRUE(b.putPasswd("pw", cls));
    newPassword = "cancel";
    EXPECT_FALSE(store::changePassword(b, cls, "t"));
    EXPECT_EQ(oldAsked, "pw");
    newPassword = "";
    EXPECT_TRUE(store::changePassword(b, cls, "t"));
    EXPECT_EQ(b.attrByid(cls) & 0x1000, 0);
    EXPECT_EQ(b.getPasswd(cls), "ok");
    prompts.clear();
    EXPECT_TRUE(store::askPassword(b, cls, "t"));
    EXPECT_TRUE(prompts.empty());
    // Passwords are for classes; spaces around one are dropped as the prompt drops them.
    EXPECT_FALSE(b.putPasswd("pw", b.insertNRBT(cls, "doc", "x")));
    ASSERT_TRUE(b.putPasswd("  pw  ", cls));
    ASSERT_TRUE(b.openDB(lib.file));
    EXPECT_EQ(b.getPasswd(cls), "pw");
}

TEST_F(Passwords, AFlagWithoutStoredPasswordNeverOpens) {
    ASSERT_TRUE(b.changeAttr(cls, 0x1000));
    EXPECT_EQ(b.getPasswd(cls), "");
    for (const std::string entered : {"", "x"}) {
        answer = entered;
        EXPECT_FALSE(store::askPassword(b, cls, "t"));
    }
    EXPECT_TRUE(b.unpasswordedAllPath());
    EXPECT_TRUE(store::askPassword(b, cls, "t"));
}

TEST_F(Passwords, TheStoredValueIsTheScrambledTextInUtf16) {
    ASSERT_TRUE(b.putPasswd("ab", cls));
    const store_test::Bytes stored = lib.stored(cls);
    ASSERT_EQ(stored.size(), 2u * 16u);  // two bytes, eight digits each, two bytes a digit
    std::string digits;
    for (size_t i = 0; i < stored.size(); i += 2) {
        EXPECT_EQ(stored[i + 1], 0);
        digits += static_cast<char>(stored[i]);
    }
    EXPECT_EQ(clsFilePath::Decode(digits), "ab");
    EXPECT_EQ(b.sizeByidNR(cls), 0);  // no content: nothing for a reader to show
}

}  // namespace
