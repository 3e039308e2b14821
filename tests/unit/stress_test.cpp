// A full scene built the way a user builds it, and every save path made to fail at every step.
#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "editor/document/document.h"
#include "editor/document/settings.h"
#include "editor/editing/tools.h"
#include "fake_platform.h"
#include "file_fixtures.h"
#include "files/metasequoia.h"
#include "files/object_file.h"

namespace {

// 10,000 cubes in a 25 x 20 x 20 block, each added with the Add tool onto a side of one already there.
void BuildBlockByAdding(Editor& editor) {
    std::map<std::tuple<int, int, int>, int32_t> slotOf{{{0, 0, 0}, 0}};
    for (int x = 0; x < 25; ++x)
        for (int y = 0; y < 20; ++y)
            for (int z = 0; z < 20; ++z) {
                if (x + y + z == 0)
                    continue;
                const auto from = z > 0   ? std::make_tuple(x, y, z - 1)
                                  : y > 0 ? std::make_tuple(x, y - 1, 0)
                                          : std::make_tuple(x - 1, 0, 0);
                const int side = z > 0 ? kSidePlusZ : y > 0 ? kSidePlusY : kSidePlusX;
                ApplyTool(editor, slotOf.at(from), side);
                slotOf[{x, y, z}] = editor.scene.highestUsedSlot;
            }
}

bool SameCubes(const Scene& a, const Scene& b) {
    if (a.liveCubeCount != b.liveCubeCount || a.highestUsedSlot != b.highestUsedSlot)
        return false;
    for (int32_t slot = 0; slot <= a.highestUsedSlot; ++slot) {
        const CubeRecord &p = a.cubes[slot], &q = b.cubes[slot];
        if (p.inUse != q.inUse || (p.inUse != 0 && std::tie(p.x, p.y, p.z, p.colour, p.textured) !=
                                                       std::tie(q.x, q.y, q.z, q.colour, q.textured)))
            return false;
    }
    return std::memcmp(a.grid, b.grid, sizeof(a.grid)) == 0;
}

}  // namespace

TEST(Stress, AFullSceneBuiltByAddingSavesLoadsUndoesAndExports) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    BuildBlockByAdding(editor);
    Scene& scene = editor.scene;
    ASSERT_EQ(scene.liveCubeCount, kMaxCubes);
    EXPECT_EQ(scene.highestUsedSlot, kMaxCubes - 1);
    EXPECT_EQ(CountOccupied(scene), kMaxCubes);
    EXPECT_FALSE(editor.cannotCreate);
    ApplyTool(editor, 0, kSideMinusX);  // the 10,001st
    EXPECT_TRUE(editor.cannotCreate);
    EXPECT_EQ(scene.liveCubeCount, kMaxCubes);

    // The last hundred edits undo to the one before them and redo to the full block again.
    auto full = EmptyScene();
    std::memcpy(full.get(), &scene, sizeof(Scene));
    for (int i = 0; i < 101; ++i) {
        editor.undo.doUndo = true;
        UndoApplyStep(editor);
    }
    EXPECT_EQ(scene.liveCubeCount, kMaxCubes - 100);
    EXPECT_FALSE(editor.undo.undoAvailable);
    for (int i = 0; i < 101; ++i) {
        editor.undo.doRedo = true;
        UndoApplyStep(editor);
    }
    EXPECT_TRUE(SameCubes(scene, *full));

    // Saved and read back: the same cubes in the same slots.
    TempFolder folder;
    StdFileSystem files;
    BitmapOnlyAtlas atlas;
    char textureName[kPathCapacity] = "tex.bmp";
    TextureNameSource textureSource = TextureNameSource::UserChoice;
    const std::string path = folder.Path("block.bvo");
    ASSERT_TRUE(SaveScene(editor, files, path.c_str(), textureName));
    ASSERT_TRUE(LoadObjectFile(editor, files, atlas, path.c_str(), textureName, textureSource, ""));
    EXPECT_TRUE(SameCubes(scene, *full));

    // The hull of a 25 x 20 x 20 block: 2,800 faces on the 2,802 corners of its surface.
    UpdateFaceExposure(scene);
    const std::string document = MetasequoiaText(scene, textureName);
    EXPECT_NE(document.find("\tvertex 2802 {\n"), std::string::npos);
    EXPECT_NE(document.find("\tface 2800 {\n"), std::string::npos);
}

TEST(Stress, AHundredByHundredBitmapFillsTheScene) {
    EditorRig rig;
    rig.Frame();
    BitmapBuilder bitmap;
    bitmap.width = bitmap.height = 100;
    bitmap.rows.assign(100 * 300, 0x40);
    TempFolder folder;
    StdFileSystem files;
    ASSERT_EQ(ImportBitmap(*rig.editor, files, folder.Write("full.bmp", bitmap.Bytes()).c_str()), kImported);
    EXPECT_EQ(rig.editor->scene.liveCubeCount, kMaxCubes);
    EXPECT_EQ(CountOccupied(rig.editor->scene), kMaxCubes);
    ApplyTool(*rig.editor, 5050, kSidePlusZ);
    EXPECT_TRUE(rig.editor->cannotCreate);
}

// Every save path, failing at every step: the old file stays, nothing is left beside it, the user is told,
// and the scene and its flags are as they were.
TEST(Stress, EverySavePathFailingAtEveryStepLosesNothing) {
    using Fault = FaultyFileSystem::Fault;
    enum class Path { Object, Export, Palette, Screenshot, UnknownKind };
    for (Path kind : {Path::Object, Path::Export, Path::Palette, Path::Screenshot, Path::UnknownKind}) {
        for (Fault fault : {Fault::Create, Fault::Write, Fault::Close, Fault::Replace}) {
            SCOPED_TRACE(testing::Message()
                         << "path " << static_cast<int>(kind) << " fault " << static_cast<int>(fault));
            EditorRig rig;
            rig.Frame();
            Editor& editor = *rig.editor;
            PlaceCube(editor.scene, 1, 101, 100, 100);
            editor.modified = true;
            TempFolder folder;
            FaultyFileSystem files;
            ScriptedUi ui;
            BitmapOnlyAtlas atlas;
            NoIni ini;
            Settings settings;
            Documents documents;
            const std::string program = folder.Directory();
            DocumentContext context{editor, documents, ui, files, atlas, ini, settings, program.c_str()};
            const char* names[] = {"old.bvo", "old.mqo", "old.bvp", "old.bmp", "old.txt"};
            const std::string target = folder.Write(names[static_cast<int>(kind)], "old");
            files.fault = fault;
            ui.chosenFiles = {target};
            bool told = true;
            switch (kind) {
                case Path::Object:
                case Path::Export:
                case Path::UnknownKind:
                    CommandSaveAs(context);
                    break;
                case Path::Palette:
                    CommandPaletteSave(context);
                    break;
                case Path::Screenshot: {
                    Image frame;
                    frame.width = 4;
                    frame.height = 3;
                    frame.pixels.assign(12, 0xFF102030);
                    told = !SaveScreenshotFile(files, target.c_str(), frame, 4, 3);
                    break;
                }
            }
            EXPECT_TRUE(told);
            if (kind != Path::Screenshot) {
                EXPECT_EQ(ui.errors, std::vector<std::string>{TextOf(TextId::SaveFailed)});
            }
            EXPECT_EQ(TempFolder::Read(target), "old");
            EXPECT_EQ(folder.Count(), 1u);
            EXPECT_TRUE(editor.modified);
            EXPECT_FALSE(editor.named);
            EXPECT_STREQ(documents.currentFileName, "");  // the title and the next Save name no file
            EXPECT_EQ(editor.scene.liveCubeCount, 2);
        }
    }
}
