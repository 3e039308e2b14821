// The exports and the .vox import through the document commands, the command line and the converter.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>

#include "convert/conversion.h"
#include "convert/png_libpng.h"
#include "editor/document/command_line.h"
#include "editor/document/document_commands.h"
#include "editor/document/settings.h"
#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

struct InterchangeRig : EditorRig {
    TempFolder folder;
    FaultyFileSystem files;
    ScriptedUi ui;
    BitmapOnlyAtlas atlas;
    NoIni ini;
    Settings settings;
    Documents documents;
    LibpngEncoder png;
    std::string programDirectory = folder.Directory();
    DocumentContext context{*editor, documents, ui, files, atlas, ini, settings, programDirectory.c_str(), &png};

    InterchangeRig() { Frame(); }
    // The start cube, a textured cube on it, the atlas in memory, and a change not saved.
    void TexturedScene() {
        CubeRecord& cube = PlaceCube(editor->scene, 1, 100, 101, 100);
        cube.textured = 1;
        cube.cellColumn = 3;
        editor->atlas.width = editor->atlas.height = 128;
        editor->atlas.pixels.assign(128 * 128, 0xFF336699);
        editor->modified = true;
    }
};

// A MagicaVoxel file of n voxels in a row along x, every one colour index 1, red.
std::string VoxRow(int n) {
    std::string voxels;
    for (int i = 0; i < n; ++i)
        voxels += std::string{static_cast<char>(i % 250), static_cast<char>(i / 250), 0, 1};
    const auto u32 = [](uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    const std::string children = "SIZE" + u32(12) + u32(0) + u32(250) + u32(250) + u32(1) + "XYZI" +
                                 u32(static_cast<uint32_t>(4 + voxels.size())) + u32(0) +
                                 u32(static_cast<uint32_t>(n)) + voxels + "RGBA" + u32(1024) + u32(0) +
                                 std::string("\xFF\0\0\xFF", 4) + std::string(1020, '\0');
    return "VOX " + u32(150) + "MAIN" + u32(0) + u32(static_cast<uint32_t>(children.size())) + children;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.compare(0, start.size(), start) == 0;
}

}  // namespace

TEST(Interchange, SaveAsExportsCarryTheAtlasAndNeverNameTheDocument) {
    InterchangeRig rig;
    rig.TexturedScene();
    const std::string object = rig.folder.Path("scene.bvo");
    CopyPath(rig.documents.currentFileName, object.c_str());
    rig.editor->named = true;
    rig.ui.title = "Blokkenveld - " + object;
    for (const char* name : {"model.glb", "model.gltf", "model.obj", "model.vox"}) {
        rig.ui.chosenFiles = {rig.folder.Path(name)};
        CommandSaveAs(rig.context);
        EXPECT_STREQ(rig.documents.currentFileName, object.c_str()) << name;
    }
    EXPECT_TRUE(rig.ui.errors.empty());
    EXPECT_TRUE(rig.editor->modified) << "an export does not save the scene";
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + object);
    EXPECT_TRUE(StartsWith(TempFolder::Read(rig.folder.Path("model.glb")), "glTF"));
    EXPECT_NE(TempFolder::Read(rig.folder.Path("model.glb")).find("image/png"), std::string::npos);
    EXPECT_TRUE(StartsWith(TempFolder::Read(rig.folder.Path("model.png")), "\x89PNG\r\n\x1a\n"));
    EXPECT_NE(TempFolder::Read(rig.folder.Path("model.mtl")).find("map_Kd model.png"), std::string::npos);
    EXPECT_TRUE(StartsWith(TempFolder::Read(rig.folder.Path("model.vox")), "VOX "));
    EXPECT_TRUE(StartsWith(TempFolder::Read(rig.folder.Path("model.gltf")), "{\"asset\":"));
    // Letter case counts, as for every kind: nothing is written and the user hears so.
    for (const char* name : {"upper.GLB", "upper.Gltf"}) {
        rig.ui.chosenFiles = {rig.folder.Path(name)};
        CommandSaveAs(rig.context);
    }
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>(2, TextOf(TextId::SaveFailed)));
    EXPECT_EQ(rig.folder.Count(), 6u);
}

TEST(Interchange, AnExportThatCannotBeMadeIsToldAndLeavesNoFile) {
    InterchangeRig rig;
    rig.TexturedScene();
    rig.files.fault = FaultyFileSystem::Fault::Replace;
    rig.ui.chosenFiles = {rig.folder.Path("model.obj")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.folder.Count(), 0u) << "no .obj naming a picture that is not there";
    rig.files.fault = FaultyFileSystem::Fault::None;
    // Only the picture cannot take its place (a folder has its name): no .obj points at it.
    std::filesystem::create_directory(rig.folder.Path("model.png"));
    rig.ui.chosenFiles = {rig.folder.Path("model.obj")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.folder.Count(), 1u);
    std::filesystem::remove(rig.folder.Path("model.png"));
    rig.context.png = nullptr;  // no encoder: a model that shows the atlas cannot be exported
    rig.ui.chosenFiles = {rig.folder.Path("model.glb")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>(3, TextOf(TextId::SaveFailed)));
    EXPECT_EQ(rig.folder.Count(), 0u);
    rig.editor->scene.cubes[1].inUse = 0;  // without textured faces no picture is needed
    rig.ui.chosenFiles = {rig.folder.Path("model.glb")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.folder.Count(), 1u);
}

// The .mtl and .png beside an .obj may be the user's own files: they are asked about, and No writes nothing.
TEST(Interchange, AnObjExportAsksBeforeReplacingFilesBesideIt) {
    InterchangeRig rig;
    rig.TexturedScene();
    const std::string photo = rig.folder.Write("house.png", "photo"), notes = rig.folder.Write("house.mtl", "notes");
    rig.ui.chosenFiles = {rig.folder.Path("house.obj")};
    CommandSaveAs(rig.context);
    ASSERT_EQ(rig.ui.questions, std::vector<std::string>{"同じ名前の .mtl ファイルと .png ファイルが既にあります。上書きしますか？"});
    EXPECT_TRUE(rig.ui.errors.empty()) << "an export the user stopped is no failure";
    EXPECT_EQ(TempFolder::Read(photo) + TempFolder::Read(notes), "photonotes");
    EXPECT_EQ(rig.folder.Count(), 2u);
    // Without textured faces no picture is written: only the notes are asked about, and the photo stays.
    rig.editor->scene.cubes[1].inUse = 0;
    rig.ui.chosenFiles = {rig.folder.Path("house.obj")};
    rig.ui.yesNoAnswers = {true};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.ui.questions.back(), "同じ名前の .mtl ファイルが既にあります。上書きしますか？");
    EXPECT_EQ(TempFolder::Read(photo), "photo");
    EXPECT_TRUE(StartsWith(TempFolder::Read(notes), "# Blokkenveld"));
}

TEST(Interchange, VoxModelsOpenAsANewUnnamedSceneOrAreToldWhy) {
    InterchangeRig rig;
    const std::string object = rig.folder.Path("scene.bvo");
    CopyPath(rig.documents.currentFileName, object.c_str());
    rig.editor->named = true;
    RecordEdit(rig.editor->undo, kUndoAdd, UndoEntry{});
    const std::string row = rig.folder.Write("row.vox", VoxRow(3));
    rig.ui.chosenFiles = {row};
    CommandOpen(rig.context);
    Scene& scene = rig.editor->scene;
    ASSERT_EQ(scene.liveCubeCount, 3);
    EXPECT_EQ(scene.highestUsedSlot, 2);
    // Three cells on x from 100 - 3 / 2 = 99, one cell on y and z at 100.
    EXPECT_EQ(scene.cubes[0].x, 99.0f);
    EXPECT_EQ(scene.cubes[2].x, 101.0f);
    EXPECT_EQ(scene.cubes[2].y, 100.0f);
    EXPECT_EQ(scene.cubes[2].colour, 0xFFFF0000u);
    EXPECT_TRUE(scene.Occupied(101, 100, 100));
    EXPECT_FALSE(scene.Occupied(100, 101, 100)) << "the old start cube's cell was cleared";
    EXPECT_FALSE(rig.editor->named);
    EXPECT_FALSE(rig.editor->modified);
    EXPECT_EQ(rig.editor->undo.depth, 0);
    EXPECT_EQ(rig.ui.title, "Blokkenveld");

    // Refused models change nothing; each is told.
    rig.ui.chosenFiles = {rig.folder.Write("many.vox", VoxRow(10001)),
                          rig.folder.Write("cut.vox", VoxRow(3).substr(0, 60))};
    CommandOpen(rig.context);
    CommandOpen(rig.context);
    EXPECT_EQ(rig.ui.errors,
              (std::vector<std::string>{"ボクセルモデルはキューブ10000個以下、200×200×200以下にする必要があります",
                                        "ファイルの読み込みに失敗しました"}));
    EXPECT_EQ(scene.liveCubeCount, 3);
    // A drop takes a model too.
    CommandDrop(rig.context, rig.folder.Write("two.vox", VoxRow(2)).c_str());
    EXPECT_EQ(scene.liveCubeCount, 2);
}

TEST(Interchange, AVoxModelOnTheCommandLineOpensAtStartOrLeavesANewScene) {
    InterchangeRig rig;
    char path[kCommandLinePathCapacity];
    EXPECT_EQ(ParseCommandLine(rig.files, "\"C:\\a b\\m.vox\"", path), CommandLineFile::Voxels);
    EXPECT_EQ(ParseCommandLine(rig.files, "m.VOX", path), CommandLineFile::None);
    rig.editor->newSceneRequest = true;
    OpenCommandLineFile(rig.context, rig.folder.Write("row.vox", VoxRow(4)).c_str());
    EXPECT_FALSE(rig.editor->newSceneRequest);
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 4);
    InterchangeRig failing;
    failing.editor->newSceneRequest = false;
    OpenCommandLineFile(failing.context, failing.folder.Write("bad.vox", "VOX junk").c_str());
    EXPECT_EQ(failing.ui.errors, std::vector<std::string>{"ファイルの読み込みに失敗しました"});
    EXPECT_TRUE(failing.editor->newSceneRequest);
}

namespace {

struct ConverterRun {
    ConvertStatus status;
    std::string out, errors;
};

ConverterRun Convert(std::vector<std::string> arguments, const std::string& converterDirectory) {
    arguments.insert(arguments.begin(), "blokkenveld-convert");
    std::vector<const char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(a.c_str());
    StdFileSystem files;
    LibpngEncoder png;
    std::FILE* out = std::tmpfile();
    std::FILE* errors = std::tmpfile();
    ConverterRun run{
        RunConverter(static_cast<int>(argv.size()), argv.data(), files, png, converterDirectory.c_str(), out, errors),
        "", ""};
    for (auto [file, text] : {std::pair{out, &run.out}, std::pair{errors, &run.errors}}) {
        std::rewind(file);
        for (int c; (c = std::fgetc(file)) != EOF;)
            *text += static_cast<char>(c);
        std::fclose(file);
    }
    return run;
}

}  // namespace

TEST(Converter, ExitCodesAndNothingWrittenForARefusedInput) {
    TempFolder folder;
    const std::string none = folder.Directory();
    EXPECT_EQ(Convert({"--help"}, none).status, kConvertDone);
    EXPECT_NE(Convert({"--help"}, none).out.find("Usage: blokkenveld-convert IN OUT"), std::string::npos);
    EXPECT_EQ(Convert({"a.bvo"}, none).status, kConvertUsage);
    EXPECT_EQ(Convert({"a.bvo", "b.glb", "c.glb"}, none).status, kConvertUsage);
    EXPECT_EQ(Convert({"a.txt", "b.glb"}, none).status, kConvertUsage);
    EXPECT_EQ(Convert({"a.bvo", "b.stl"}, none).status, kConvertUsage);
    EXPECT_EQ(Convert({"a.bvo", "b.gltf.txt"}, none).status, kConvertUsage);

    BitmapBuilder big;
    big.width = 101;
    const std::string bitmap = folder.Write("big.bmp", big.Bytes());
    const ConverterRun refused = Convert({bitmap, folder.Path("big.glb")}, none);
    EXPECT_EQ(refused.status, kConvertRefused);
    // The refusal the program shares is the table's English one, while the program's language is Japanese.
    EXPECT_NE(refused.errors.find(": The bitmap must be at most 100 x 100 pixels."), std::string::npos) << refused.errors;
    EXPECT_EQ(Convert({folder.Write("many.vox", VoxRow(10001)), folder.Path("many.bvo")}, none).status,
              kConvertRefused);
    EXPECT_EQ(Convert({folder.Path("missing.bvo"), folder.Path("x.vox")}, none).status, kConvertRefused);
    EXPECT_EQ(folder.Count(), 2u) << "nothing written for a refused input";
    EXPECT_EQ(Convert({folder.Write("row.vox", VoxRow(3)), folder.Path("no/such/folder/row.bvo")}, none).status,
              kConvertRefused);
    ASSERT_EQ(Convert({folder.Path("row.vox"), folder.Path("row.bvo")}, none).status, kConvertDone);
    EXPECT_EQ(TempFolder::Read(folder.Path("row.bvo")),
              "Blokkenveld\n1 0\n3\n99 100 100 ffff0000\n100 100 100 ffff0000\n101 100 100 ffff0000\n");
    // The .mtl an OBJ export writes beside OUT was not named on the command line: it is kept unless told.
    const std::string notes = folder.Write("row.mtl", "notes");
    EXPECT_EQ(Convert({folder.Path("row.vox"), folder.Path("row.obj")}, none).status, kConvertRefused);
    EXPECT_EQ(TempFolder::Read(notes), "notes");
    EXPECT_EQ(Convert({"--overwrite", folder.Path("row.vox"), folder.Path("row.obj")}, none).status, kConvertDone);
}

// Any path the program holds may be read (259 characters); an output may take 255.
TEST(Converter, PathsAtTheirLongest) {
    TempFolder folder;
    const auto name = [&folder](size_t length, const char* extension) {
        return std::string(length - folder.Directory().size() - std::strlen(extension), 'a') + extension;
    };
    const std::string longest = folder.Write(name(259, ".vox"), VoxRow(1));
    EXPECT_EQ(Convert({longest, folder.Path(name(255, ".bvo"))}, "").status, kConvertDone);
    EXPECT_EQ(Convert({longest, folder.Path(name(256, ".bvo"))}, "").status, kConvertUsage);
    EXPECT_EQ(Convert({folder.Write(name(260, ".vox"), VoxRow(1)), folder.Path("x.bvo")}, "").status, kConvertUsage);
}

TEST(Converter, TheTextureIsFoundBesideTheSceneThenBesideTheConverter) {
    TempFolder scenes, converter;
    const std::string scene = scenes.Write("s.bvo", "Blokkenveld\n0 1\natlas.bmp\n1\n100 100 100 2 0\n");
    BitmapBuilder atlas;
    atlas.width = atlas.height = 8;
    atlas.rows.assign(8 * 24, 0);
    for (int i = 0; i < 8; ++i)
        atlas.rows[static_cast<size_t>(7 * 24 + 2 * 3 + i % 3)] = 0x30;  // the top row's cell 2: grey 0x303030
    // A scene without textured cubes needs no atlas and is not warned about one.
    const std::string plain = scenes.Write("plain.bvo", "Blokkenveld\n1 0\n1\n100 100 100 ff\n");
    EXPECT_EQ(Convert({plain, scenes.Path("plain.vox")}, converter.Directory()).errors, "");
    // Missing everywhere: a warning, and the textured cube counts as white.
    ConverterRun run = Convert({scene, scenes.Path("white.vox")}, converter.Directory());
    EXPECT_EQ(run.status, kConvertDone);
    EXPECT_NE(run.errors.find("texture atlas.bmp not found"), std::string::npos);
    std::vector<VoxCube> cubes;
    const auto colourIn = [&](const std::string& path) {
        const std::string bytes = TempFolder::Read(path);
        ParseVox(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), cubes);
        return cubes.empty() ? 0u : cubes[0].colour;
    };
    EXPECT_EQ(colourIn(scenes.Path("white.vox")), 0xFFFFFFFFu);
    converter.Write("atlas.bmp", atlas.Bytes());
    run = Convert({scene, scenes.Path("beside_converter.vox")}, converter.Directory());
    EXPECT_TRUE(run.errors.empty()) << run.errors;
    EXPECT_EQ(colourIn(scenes.Path("beside_converter.vox")), 0xFF303030u);
    atlas.rows.assign(8 * 24, 0x60);
    scenes.Write("atlas.bmp", atlas.Bytes());
    Convert({scene, scenes.Path("beside_scene.vox")}, converter.Directory());
    EXPECT_EQ(colourIn(scenes.Path("beside_scene.vox")), 0xFF606060u);
}

// Windows users type names in capitals: every kind the converter reads or writes is taken in any letter case, and
// a name in capitals gives the bytes the same name in small letters does.
TEST(Converter, EveryExtensionInAnyLetterCase) {
    TempFolder folder;
    const std::string row = folder.Write("row.vox", VoxRow(3)), upperRow = folder.Write("ROW.VOX", VoxRow(3));
    for (std::string ext : {".bvo", ".mqo", ".glb", ".gltf", ".obj", ".vox"}) {
        const std::string small = folder.Path("out" + ext);
        for (char& c : ext)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_EQ(Convert({"--overwrite", row, small}, "").status, kConvertDone) << ext;
        ASSERT_EQ(Convert({"--overwrite", upperRow, folder.Path("out" + ext)}, "").status, kConvertDone) << ext;
        EXPECT_EQ(TempFolder::Read(folder.Path("out" + ext)), TempFolder::Read(small)) << ext;
    }
    // The scene just written and a bitmap, read under names in capitals.
    const std::string scene = folder.Write("IN.BVO", TempFolder::Read(folder.Path("out.bvo")));
    ASSERT_EQ(Convert({scene, folder.Path("in.vox")}, "").status, kConvertDone);
    EXPECT_EQ(TempFolder::Read(folder.Path("in.vox")), TempFolder::Read(folder.Path("out.vox")));
    BitmapBuilder picture;
    picture.rows.assign(4, 0);
    EXPECT_EQ(Convert({folder.Write("PICTURE.Bmp", picture.Bytes()), folder.Path("p.Gltf")}, "").status, kConvertDone);
}
