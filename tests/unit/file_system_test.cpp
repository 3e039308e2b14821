#include "files/file_system.h"

#include <gtest/gtest.h>

#include "file_fixtures.h"

// A save that fails at any step leaves the old file as it was and nothing else behind.
TEST(FileSystem, AFailedSaveNeverDamagesTheOldFile) {
    using Fault = FaultyFileSystem::Fault;
    for (Fault fault : {Fault::Create, Fault::Write, Fault::Close, Fault::Replace}) {
        SCOPED_TRACE(static_cast<int>(fault));
        TempFolder folder;
        FaultyFileSystem files;
        const std::string path = folder.Write("scene.bvo", "old contents");
        files.fault = fault;
        EXPECT_FALSE(SaveText(files, path.c_str(), "new\ncontents\n"));
        EXPECT_EQ(TempFolder::Read(path), "old contents");
        EXPECT_EQ(folder.Count(), 1u);
    }
    TempFolder folder;
    FaultyFileSystem files;
    const std::string path = folder.Write("scene.bvo", "old contents");
    ASSERT_TRUE(SaveText(files, path.c_str(), "new\ncontents\n"));
    EXPECT_EQ(TempFolder::Read(path), "new\ncontents\n");
    EXPECT_EQ(folder.Count(), 1u);
    // A missing folder cannot take a file.
    EXPECT_FALSE(SaveText(files, folder.Path("none/scene.bvo").c_str(), "x"));
}

TEST(FileSystem, NamesExtensionsAndFolders) {
    StdFileSystem files;
    EXPECT_TRUE(HasExtension(files, "C:\\a.b\\scene.bvo", ".bvo"));
    EXPECT_FALSE(HasExtension(files, "C:\\a.bvo\\scene", ".bvo"));
    EXPECT_FALSE(HasExtension(files, "scene.BVO", ".bvo"));
    // Without letter case, as the converter reads names: A to Z are a to z, and nothing else changes.
    for (const char* name : {"scene.bvo", "SCENE.BVO", "Scene.Bvo", "C:\\A.B\\scene.bvO"})
        EXPECT_TRUE(HasExtension(files, name, ".bvo", LetterCase::Ignored)) << name;
    for (const char* name : {"scene.BV", "scene.BVOX", "scene.BVP", "scene", "A.BVO\\scene", "scene.bv\xEF"})
        EXPECT_FALSE(HasExtension(files, name, ".bvo", LetterCase::Ignored)) << name;
    EXPECT_FALSE(HasExtension(files, "scene.GLB", ".gltf", LetterCase::Ignored));
    EXPECT_TRUE(IsInDirectory(files, "C:\\prog\\palette.bvp", "C:\\prog\\"));
    EXPECT_FALSE(IsInDirectory(files, "C:\\Prog\\palette.bvp", "C:\\prog\\"));
    EXPECT_FALSE(IsInDirectory(files, "C:\\prog\\sub\\palette.bvp", "C:\\prog\\"));
    EXPECT_TRUE(IsNetworkPath("\\\\server\\share\\a.bmp"));
    EXPECT_TRUE(IsNetworkPath("//server/a.bmp"));
    EXPECT_FALSE(IsNetworkPath("C:\\a.bmp"));
    EXPECT_FALSE(IsNetworkPath("\\a.bmp"));
}

// Paths as long as the system allows (259 characters) save, the temporary file included.
TEST(FileSystem, TheLongestPathSaves) {
    struct SystemLimit : StdFileSystem {
        Handle CreateNew(const char* path) override {
            return std::strlen(path) > 259 ? nullptr : StdFileSystem::CreateNew(path);
        }
        bool Replace(const char* from, const char* to) override {
            return std::strlen(from) <= 259 && std::strlen(to) <= 259 && StdFileSystem::Replace(from, to);
        }
    } files;
    TempFolder folder;
    const std::string directory = folder.Directory() + std::string(253 - folder.Directory().size(), 'd') + "/";
    std::filesystem::create_directories(directory);
    const std::string path = directory + "a.bvo";
    ASSERT_EQ(path.size(), 259u);
    ASSERT_TRUE(SaveText(files, path.c_str(), "x\n"));
    EXPECT_EQ(TempFolder::Read(path), "x\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(directory), {}), 1);
}
