#include "files/object_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "editor/document/document.h"
#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

bool Parse(const std::string& text, ObjectFileContents& out) {
    return ParseObjectFile(reinterpret_cast<const uint8_t*>(text.data()), text.size(), out);
}

// Real files, with every path a reader opened written down.
class RecordingFiles : public StdFileSystem {
public:
    std::vector<std::string> read;
    bool ReadAll(const char* path, std::vector<uint8_t>& out) override {
        read.emplace_back(path);
        return StdFileSystem::ReadAll(path, out);
    }
};

// An editor after its first frame whose program folder is a temporary one.
struct LoadRig : EditorRig {
    TempFolder folder;
    RecordingFiles files;
    BitmapOnlyAtlas atlas;
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;

    LoadRig() { Frame(); }
    bool Load(const std::string& text) {
        return LoadObjectFile(*editor, files, atlas, folder.Write("scene.bvo", text).c_str(), textureName,
                              textureSource, folder.Directory().c_str());
    }
    // The paths opened after the scene file itself.
    std::vector<std::string> TexturesRead() const { return {files.read.begin() + 1, files.read.end()}; }
};

}  // namespace

TEST(ObjectFile, TheStartCubeIsFourLinesAndHolesCloseOnSaveAndLoad) {
    LoadRig rig;
    EXPECT_EQ(ObjectFileText(rig.editor->scene, "tex.bmp"), "Blokkenveld\n1 0\n1\n100 100 100 ffffffff\n");

    Scene& scene = rig.editor->scene;
    PlaceCube(scene, 1, 101, 100, 100).colour = 0xFF0000FF;
    CubeRecord& textured = PlaceCube(scene, 2, 102, 100, 100);
    textured.textured = 1;
    textured.cellColumn = 7;
    textured.cellRow = 2;
    PlaceCube(scene, 3, 100.6f, 101, 100).colour = 0x00ABCDEF;
    scene.cubes[1].inUse = 0;  // a hole
    const std::string text = ObjectFileText(scene, "my tex.bmp");
    EXPECT_EQ(text, "Blokkenveld\n1 1\n2\n100 100 100 ffffffff\n101 101 100 abcdef\nmy tex.bmp\n1\n102 100 100 7 2\n");

    ASSERT_TRUE(rig.Load(text));
    EXPECT_EQ(scene.highestUsedSlot, 2);
    EXPECT_EQ(scene.liveCubeCount, 3);
    EXPECT_EQ(scene.cubes[1].colour, 0x00ABCDEFu);
    EXPECT_EQ(scene.cubes[2].textured, 1);
    EXPECT_EQ(scene.cubes[2].colour, kWhite);
    EXPECT_EQ(CountOccupied(scene), 3);
    EXPECT_STREQ(rig.textureName, "my tex.bmp");
    EXPECT_TRUE(rig.editor->named);
    EXPECT_FALSE(rig.editor->modified);
    EXPECT_TRUE(rig.editor->ignoreNextClick);

    // Only textured cubes: "0 1" and no coloured count.
    scene.cubes[0].inUse = 0;
    scene.cubes[1].inUse = 0;
    EXPECT_EQ(ObjectFileText(scene, "t.bmp"), "Blokkenveld\n0 1\nt.bmp\n1\n102 100 100 7 2\n");
}

TEST(ObjectFile, LinesLongerThanTheRoomFirstMadeForThemComeOutWhole) {
    // Coordinates no scene holds, set straight into the records, make every line longer than a cube's usual line.
    auto scene = std::make_unique<Scene>();
    std::string expected = "Blokkenveld\n1 0\n300\n";
    for (int slot = 0; slot < 300; ++slot) {
        CubeRecord& cube = scene->cubes[slot];
        cube = CubeRecord{};
        cube.inUse = 1;
        cube.x = -1234567.0f - static_cast<float>(slot);
        cube.y = 2345678.0f;
        cube.z = -3456789.0f;
        cube.colour = 0xFF000000u + static_cast<uint32_t>(slot);
        char line[64];
        std::snprintf(line, sizeof(line), "%d 2345678 -3456789 %x\n", -1234567 - slot, cube.colour);
        expected += line;
    }
    scene->highestUsedSlot = 299;
    int32_t slots[300];
    for (int32_t slot = 0; slot < 300; ++slot)
        slots[slot] = slot;
    const int32_t origin[3] = {0, 0, 0};
    std::string text = "room from an earlier text";
    WriteObjectFileText(text, *scene, "tex.bmp", slots, 300, 0, origin);
    EXPECT_EQ(text, expected);
}

TEST(ObjectFile, ReadsWhatOtherWritersMayWrite) {
    ObjectFileContents c;
    ASSERT_TRUE(
        Parse("  Blokkenveld and more\r\n1 0\r\n3\r\n100.6 100 100 FF00FF00 extra\r\n1 2 3 0xff00ff00\r\n"
              "199.4 0 0 -1\r\n",
              c));
    ASSERT_EQ(c.cubes.size(), 3u);
    EXPECT_EQ(c.cubes[0].x, 100.0f);  // in the cell it names, where it is drawn and saved
    EXPECT_EQ(c.cubes[0].colour, 0xFF00FF00u);
    EXPECT_EQ(c.cubes[1].colour, 0xFF00FF00u);
    EXPECT_EQ(c.cubes[2].colour, 0xFFFFFFFFu);
    EXPECT_EQ(c.cubes[2].x, 199.0f);  // inside the last cell
    ASSERT_TRUE(Parse("Blokkenveld\n0 0\n", c));
    EXPECT_TRUE(c.cubes.empty());

    // As the program writes it on Windows: the texture name ends before the carriage return.
    ASSERT_TRUE(Parse("Blokkenveld\r\n0 1\r\nmy tex.bmp\r\n1\r\n1 1 1 0 7\r\n", c));
    EXPECT_STREQ(c.textureName, "my tex.bmp");
    EXPECT_EQ(c.cubes[0].cellRow, 7);

    // A line that fills the reader's line buffer exactly, and one longer, each followed by a whole line.
    for (size_t length : {size_t{255}, size_t{256}}) {
        std::string line = "1 2 3 ff";
        line += std::string(length - line.size(), ' ');
        ASSERT_TRUE(Parse("Blokkenveld\n1 0\n2\n" + line + "\n4 5 6 ee\n", c)) << length;
        EXPECT_EQ(c.cubes[1].colour, 0xEEu) << length;
    }
}

// Every file the reader turns down, it turns down whole.
TEST(ObjectFile, RejectsWhatTheSceneCannotHold) {
    const char* bad[] = {
        "blokkenveld\n1 0\n1\n100 100 100 ff\n",                   // magic in the wrong case
        "Blokkenveld\n1\n",                                        // one flag
        "Blokkenveld\n1 0\n1\n100 100 100\n",                      // a cube line with three numbers
        "Blokkenveld\n1 0\n2\n100 100 100 ff\n",                   // ends before its second cube
        "Blokkenveld\n1 0\n-1\n",                                  // negative count
        "Blokkenveld\n1 0\n10001\n",                               // more than the scene holds
        "Blokkenveld\n1 1\n9000\n",                                // together more (the rest is not even read)
        "Blokkenveld\n1 0\n1\n200 100 100 ff\n",                   // outside the grid
        "Blokkenveld\n1 0\n1\n-0.5 100 100 ff\n",                  // outside the grid
        "Blokkenveld\n1 0\n1\nnan 100 100 ff\n",                   // not a position
        "Blokkenveld\n0 1\nt.bmp\n1\n1 1 1 8 0\n",                 // no such atlas cell
        "Blokkenveld\n0 1\nt.bmp\n1\n1 1 1 0 8\n",                 // no such row
        "Blokkenveld\n0 1\nt.bmp\n1\n1 1 1 0 -1\n",                // nor row -1
        "Blokkenveld\n0 1\nt.bmp\n",                               // no textured count
        "Blokkenveld\n1 0\n2\n5 5 5 ff\n5.7 5 5 ee\n",             // two cubes in one cell
        "Blokkenveld\n1 1\n1\n5 5 5 ff\nt.bmp\n1\n5 5 5.2 0 0\n",  // a coloured and a textured one
    };
    for (const char* text : bad) {
        ObjectFileContents c;
        EXPECT_FALSE(Parse(text, c)) << text;
    }
    ObjectFileContents c;
    std::string full = "Blokkenveld\n1 1\n9999\n";
    for (int i = 0; i < 9999; ++i)
        full += std::to_string(i % 199) + " " + std::to_string(i / 199) + " 5 ff\n";
    EXPECT_TRUE(Parse(full + "t.bmp\n1\n5 5 6 0 0\n", c));
    EXPECT_FALSE(Parse(full + "t.bmp\n2\n5 5 6 0 0\n5 5 7 0 0\n", c));
}

TEST(ObjectFile, AFailedReadLeavesTheSceneAsItWas) {
    LoadRig rig;
    Editor& editor = *rig.editor;
    PlaceCube(editor.scene, 1, 101, 100, 100);
    editor.modified = true;
    RecordEdit(editor.undo, kUndoAdd, UndoEntry{});
    EXPECT_FALSE(rig.Load("Blokkenveld\n1 0\n2\n50 50 50 ff\n"));
    EXPECT_FALSE(LoadObjectFile(editor, rig.files, rig.atlas, rig.folder.Path("missing.bvo").c_str(), rig.textureName,
                                rig.textureSource, rig.folder.Directory().c_str()));
    EXPECT_EQ(editor.scene.liveCubeCount, 2);
    EXPECT_EQ(editor.scene.highestUsedSlot, 1);
    EXPECT_EQ(editor.scene.grid[Scene::GridIndex(101, 100, 100)], 1);
    EXPECT_EQ(editor.scene.grid[Scene::GridIndex(50, 50, 50)], 0);
    EXPECT_TRUE(editor.modified);
    EXPECT_TRUE(editor.undo.undoAvailable);
    EXPECT_EQ(rig.files.read.size(), 2u);  // the two scene files, no texture
}

TEST(ObjectFile, TextureNamesAreKeptWholeAndOnlyFilesAreOpened) {
    LoadRig rig;
    // The longest name a path can have reads back, so every file the program writes opens again.
    const std::string longName = "C:\\" + std::string(250, 'n') + "\\a.bmp";
    ASSERT_EQ(longName.size(), 259u);
    Scene& scene = rig.editor->scene;
    scene.cubes[0].textured = 1;
    ASSERT_TRUE(rig.Load(ObjectFileText(scene, longName.c_str())));
    EXPECT_EQ(rig.textureName, longName);
    EXPECT_EQ(rig.TexturesRead(), std::vector<std::string>{longName});

    // A bare name is looked for in the program folder, whatever the current folder has become.
    BitmapBuilder atlas;
    atlas.width = atlas.height = 128;
    atlas.rows.assign(128 * 128 * 3, 0x7F);
    rig.folder.Write("tex.bmp", atlas.Bytes());
    rig.files.read.clear();
    ASSERT_TRUE(rig.Load(ObjectFileText(scene, "tex.bmp")));
    EXPECT_EQ(rig.TexturesRead(), std::vector<std::string>{rig.folder.Path("tex.bmp")});
    EXPECT_EQ(rig.editor->atlas.width, 128);
    EXPECT_EQ(rig.editor->atlas.pixels[0], 0xFF7F7F7Fu);

    // Other machines and devices are named, kept and saved again, but never opened; the atlas is gone.
    for (const char* name : {"\\\\server\\share\\tex.bmp", "//server/tex.bmp", "\\\\.\\COM1", "COM1", "aux.bmp",
                             "C:\\files\\Nul.txt", "lpt9", "CON .bmp", "prn:"}) {
        rig.files.read.clear();
        rig.editor->atlas.width = 128;
        ASSERT_TRUE(rig.Load(ObjectFileText(scene, name)));
        EXPECT_STREQ(rig.textureName, name);
        EXPECT_TRUE(rig.TexturesRead().empty()) << name;
        EXPECT_TRUE(rig.editor->atlas.pixels.empty()) << name;
        EXPECT_EQ(ObjectFileText(scene, rig.textureName).find(name), 16u);  // saved again as it was
    }
    // A name the user chose may lie on another machine (a scene's, kept in the settings, may not); a device never.
    rig.files.read.clear();
    Settings fromScene;
    CopyPath(fromScene.textureName, "//server/tex.bmp");
    fromScene.textureSource = TextureNameSource::SceneFile;
    LoadSettingsAtlas(*rig.editor, rig.files, rig.atlas, fromScene, "");
    LoadNamedAtlas(*rig.editor, rig.files, rig.atlas, "//server/tex.bmp", "", TextureNameSource::UserChoice);
    LoadNamedAtlas(*rig.editor, rig.files, rig.atlas, "C:\\nul", "", TextureNameSource::UserChoice);
    EXPECT_EQ(rig.files.read, std::vector<std::string>{"//server/tex.bmp"});

    // Names that only look like devices are files.
    for (const char* name : {"COM10.bmp", "console.bmp", "nul2"}) {
        rig.files.read.clear();
        ASSERT_TRUE(rig.Load(ObjectFileText(scene, name)));
        EXPECT_EQ(rig.TexturesRead().size(), 1u) << name;
    }
}
