#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "Foundation/Bundle.hpp"
#include "Foundation/Locale.hpp"
#include "Testing/TestEnvironment.hpp"

class BundleTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder.write("App/Info.plist",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                     "<key>CFBundleName</key><string>Quillon</string>"
                     "<key>CFBundleIdentifier</key><string>com.example.quillon</string>"
                     "<key>CFBundleShortVersionString</key><string>1.2</string></dict></plist>");
        folder.write("App/Resources/en.lproj/Localizable.strings",
                     "/* comment */\n\"LEVEL\" = \"Level\";\n// line comment\n\"QUOTE\" = \"say \\\"hi\\\"\\n\";\n"
                     "\"ONLY_EN\" = \"English only\";\n\"UNICODE\" = \"\\U00e4\";\n");
        folder.write("App/Resources/de.lproj/Localizable.strings", "\"LEVEL\" = \"Ladung\";\n");
        folder.write("App/Resources/Other_Other.bundle/en.lproj/Localizable.strings", "\"YES\" = \"Yes\";\n");
        Bundle::setMainPath(folder.path() / "App");
    }
    void TearDown() override {
        Bundle::setMainPath({});
        Locale::setPreferredLanguages(std::nullopt);
    }
    TemporaryDirectory folder;
};

TEST_F(BundleTest, ReadsTheInformationDictionary) {
    auto main = Bundle::main();
    EXPECT_EQ(main->bundleIdentifier(), "com.example.quillon");
    ASSERT_TRUE(main->objectForInfoDictionaryKey("CFBundleName"));
    EXPECT_EQ(main->objectForInfoDictionaryKey("CFBundleName")->stringValue(), "Quillon");
    EXPECT_EQ(main->objectForInfoDictionaryKey("NSHumanReadableCopyright"), nullptr);

    // What is no regular file is not read: a pipe would block, a device would never end.
    std::filesystem::create_directories(folder.path() / "Odd/Resources/en.lproj");
    ASSERT_EQ(::mkfifo((folder.path() / "Odd/Info.plist").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", folder.path() / "Odd/Resources/en.lproj/Localizable.strings");
    Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    Bundle odd(folder.path() / "Odd");
    EXPECT_TRUE(odd.infoDictionary().empty());
    EXPECT_EQ(odd.localizedString("LEVEL"), "LEVEL");
}

TEST_F(BundleTest, LocalizedStringsFollowThePreferredLanguagesWithFallback) {
    auto main = Bundle::main();
    Locale::setPreferredLanguages(std::vector<std::string>{"de-DE", "en"});
    EXPECT_EQ(main->localizedString("LEVEL"), "Ladung");
    EXPECT_EQ(main->localizedString("ONLY_EN"), "English only");  // the development language fills gaps
    EXPECT_EQ(main->localizedString("MISSING"), "MISSING");
    EXPECT_EQ(main->localizedString("MISSING", "fallback"), "fallback");

    Locale::setPreferredLanguages(std::vector<std::string>{"fr", "en-GB"});
    EXPECT_EQ(main->localizedString("LEVEL"), "Level");
    EXPECT_EQ(main->localizedString("QUOTE"), "say \"hi\"\n");
    EXPECT_EQ(main->localizedString("UNICODE"), "\xC3\xA4");
}

TEST_F(BundleTest, ModuleBundlesAreFoundByNameOrStopTheProcess) {
    auto module = Bundle::findModule("Other_Other");
    ASSERT_TRUE(module);
    EXPECT_EQ(module->localizedString("YES"), "Yes");
    EXPECT_FALSE(Bundle::findModule("Missing_Missing"));
    EXPECT_FALSE(Bundle::atPath(folder.path() / "nowhere"));
    EXPECT_DEATH(Bundle::module("Missing_Missing"), "unable to find bundle named Missing_Missing");
}

TEST_F(BundleTest, TablesInUtf16AreReadToo) {
    std::u16string text = u"\uFEFF\"GREETING\" = \"Gr\u00FC\u00DF \U0001F600\";\n";
    std::string bytes;
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    folder.write("App/Resources/en.lproj/Other.strings", bytes);
    Locale::setPreferredLanguages(std::vector<std::string>{"en"});
    EXPECT_EQ(Bundle::main()->localizedString("GREETING", "", "Other"), "Gr\xC3\xBC\xC3\x9F \xF0\x9F\x98\x80");
}

TEST(StringsTable, RejectsMalformedTables) {
    EXPECT_FALSE(parseStringsTable("\"a\" = \"b\""));    // no semicolon
    EXPECT_FALSE(parseStringsTable("\"a\" = \"b;"));     // unterminated text
    EXPECT_FALSE(parseStringsTable("/* open comment"));
    auto empty = parseStringsTable("  // nothing\n");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
}
