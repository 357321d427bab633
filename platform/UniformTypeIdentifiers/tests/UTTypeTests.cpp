#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "UniformTypeIdentifiers/UTType.hpp"

TEST(UTType, ExtensionsMapToTypesThatConformToTheirKinds) {
    auto png = UTType::fromFilenameExtension("PNG");
    ASSERT_TRUE(png);
    EXPECT_EQ(png->identifier(), "public.png");
    EXPECT_TRUE(png->conforms(UTType::image()));
    EXPECT_TRUE(png->conforms(UTType::data()));
    EXPECT_FALSE(png->conforms(UTType::movie()));
    EXPECT_TRUE(UTType::fromFilenameExtension("mov")->conforms(UTType::movie()));
    EXPECT_TRUE(UTType::fromFilenameExtension("m4a")->conforms(UTType::audio()));
    EXPECT_TRUE(UTType::fromFilenameExtension("zip")->conforms(UTType::archive()));
    EXPECT_FALSE(UTType::fromFilenameExtension("qqq"));
    EXPECT_FALSE(UTType::fromFilenameExtension(""));
}

TEST(UTType, FilesOnDisk) {
    auto folder = std::filesystem::temp_directory_path() / "uttype-test";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a.pdf") << "%PDF";
    EXPECT_EQ(UTType::ofFile(URL::fileURLWithPath((folder / "a.pdf").string())), UTType::pdf());
    EXPECT_EQ(UTType::ofFile(URL::fileURLWithPath(folder.string())), UTType::folder());
    EXPECT_FALSE(UTType::ofFile(URL::fileURLWithPath((folder / "missing.pdf").string())));
    std::filesystem::remove_all(folder);
}

TEST(UTType, TheDesktopsContentTypesTellWhatTheTableDoesNot) {
    auto folder = std::filesystem::temp_directory_path() / "uttype-contents-test";
    std::filesystem::create_directories(folder);
    // Contents settle what the name does not tell.
    std::ofstream(folder / "notes") << "plain words\n";
    std::ofstream(folder / "picture", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    std::ofstream(folder / "tool.py") << "print('hi')\n";
    auto of = [&](const char* name) { return UTType::ofFile(URL::fileURLWithPath((folder / name).string())); };
    EXPECT_EQ(of("notes"), UTType::plainText());
    EXPECT_EQ(of("picture"), UTType("public.png"));
    EXPECT_EQ(of("picture")->preferredMIMEType(), "image/png");

    // A type without an identifier of its own keeps its MIME type and the kinds it belongs to.
    auto script = of("tool.py");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->preferredMIMEType()->rfind("text/x-python", 0), 0u);
    EXPECT_TRUE(script->conforms(UTType::plainText()));
    EXPECT_TRUE(script->conforms(UTType::data()));
    auto document = UTType::fromFilenameExtension("odt");
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->conforms(UTType::data()));
    EXPECT_FALSE(document->conforms(UTType::text()));
    EXPECT_EQ(UTType::fromMIMEType("image/png"), UTType("public.png"));
    EXPECT_TRUE(UTType::fromMIMEType("image/x-sketch")->conforms(UTType::image()));
    EXPECT_FALSE(UTType::fromMIMEType("png"));
    std::filesystem::remove_all(folder);
}
