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
