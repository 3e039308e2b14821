#include "editor/document/document_commands.h"

#include <gtest/gtest.h>

#include <map>

#include "editor/document/settings.h"
#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

class MapIni : public IniStore {
public:
    std::map<std::string, std::string> written;
    uint32_t GetInt(const char*, int32_t defaultValue) override { return static_cast<uint32_t>(defaultValue); }
    void GetString(const char*, const char* defaultValue, char* buffer, int capacity) override {
        std::snprintf(buffer, static_cast<size_t>(capacity), "%s", defaultValue);
    }
    void WriteString(const char* key, const char* value) override { written[key] = value; }
};

class ScriptedAtlas : public BitmapOnlyAtlas {
public:
    bool accept = true;
    bool DecodeImage(const uint8_t* data, size_t size, Image& image) override {
        return accept && BitmapOnlyAtlas::DecodeImage(data, size, image);
    }
};

// The commands on an editor after its first frame, with real files in a temporary folder.
struct CommandRig : EditorRig {
    TempFolder folder;
    FaultyFileSystem files;
    ScriptedUi ui;
    ScriptedAtlas atlas;
    MapIni ini;
    Settings settings;
    Documents documents;
    std::string programDirectory = folder.Directory();
    DocumentContext context{*editor, documents, ui, files, atlas, ini, settings, programDirectory.c_str()};

    CommandRig() { Frame(); }
    // A scene with a change that has not been saved.
    void Modify() {
        PlaceCube(editor->scene, 1, 101, 100, 100);
        editor->modified = true;
    }
    void Name(const std::string& path) {
        CopyPath(documents.currentFileName, path.c_str());
        editor->named = true;
    }
};

}  // namespace

TEST(DocumentCommands, NewAsksAboutAModifiedNamedSceneFirst) {
    using Answer = DocumentUi::Answer;
    struct Case {
        Answer save;
        bool overwrite;
        bool started;
        bool written;
    };
    const Case cases[] = {{Answer::Cancel, false, false, false},
                          {Answer::Yes, false, false, false},
                          {Answer::Yes, true, true, true},
                          {Answer::No, false, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.save) * 2 + c.overwrite);
        CommandRig rig;
        const std::string path = rig.folder.Write("scene.bvo", "old");
        rig.Modify();
        rig.Name(path);
        rig.ui.saveAnswers = {c.save};
        rig.ui.yesNoAnswers = {c.overwrite};
        CommandNew(rig.context);
        EXPECT_EQ(rig.editor->newSceneRequest, c.started);
        EXPECT_EQ(rig.documents.currentFileName[0] == '\0', c.started);
        EXPECT_EQ(TempFolder::Read(path) != "old", c.written);
    }
    // Unmodified: no question at all.
    CommandRig rig;
    CommandNew(rig.context);
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_TRUE(rig.editor->newSceneRequest);
    EXPECT_EQ(rig.ui.title, "Blokkenveld");
}

// A save that cannot be made is reported, changes no flag, and stops what was to follow it.
TEST(DocumentCommands, AFailedSaveIsToldAndLosesNothing) {
    CommandRig rig;
    const std::string path = rig.folder.Write("scene.bvo", "old");
    rig.Modify();
    rig.Name(path);
    rig.files.fault = FaultyFileSystem::Fault::Write;
    rig.ui.yesNoAnswers = {true, true};
    CommandSave(rig.context);
    ASSERT_EQ(rig.ui.errors, std::vector<std::string>{"ファイルの保存に失敗しました"});
    EXPECT_TRUE(rig.editor->modified);
    EXPECT_EQ(TempFolder::Read(path), "old");
    rig.ui.saveAnswers = {DocumentUi::Answer::Yes};
    CommandNew(rig.context);
    EXPECT_FALSE(rig.editor->newSceneRequest);
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 2);
    rig.ui.saveAnswers = {DocumentUi::Answer::Yes};
    EXPECT_FALSE(CommandClose(rig.context));
    EXPECT_EQ(rig.folder.Count(), 1u);
}

TEST(DocumentCommands, SaveAsWritesByExtensionAndAnExportNeverNamesTheDocument) {
    CommandRig rig;
    const std::string object = rig.folder.Path("a.bvo");
    rig.Name(object);
    rig.ui.title = "Blokkenveld - " + object;
    rig.Modify();
    rig.ui.chosenFiles = {rig.folder.Path("model.mqo"), rig.folder.Path("note.txt"), rig.folder.Path("b.BVO")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(TempFolder::Read(rig.folder.Path("model.mqo")).substr(0, 20), "Metasequoia Document");
    EXPECT_STREQ(rig.documents.currentFileName, object.c_str());
    EXPECT_TRUE(rig.editor->modified);  // an export is no save of the scene
    // Kinds the program cannot write, capitals included, are failed saves: told, and the name stays.
    CommandSaveAs(rig.context);
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.folder.Count(), 1u);
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>(2, "ファイルの保存に失敗しました"));
    EXPECT_STREQ(rig.documents.currentFileName, object.c_str());
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + object);
    EXPECT_TRUE(rig.editor->modified);
    // A failed object save leaves the name it replaced too, so the next Save cannot overwrite another file.
    rig.files.fault = FaultyFileSystem::Fault::Replace;
    rig.ui.chosenFiles = {rig.folder.Path("other.bvo")};
    CommandSaveAs(rig.context);
    EXPECT_STREQ(rig.documents.currentFileName, object.c_str());
    rig.files.fault = FaultyFileSystem::Fault::None;
    // After New, an export leaves the document without a name.
    rig.ui.saveAnswers = {DocumentUi::Answer::No};
    CommandNew(rig.context);
    rig.Frame();
    rig.ui.chosenFiles = {rig.folder.Path("model.mqo")};
    CommandSaveAs(rig.context);
    EXPECT_STREQ(rig.documents.currentFileName, "");
    EXPECT_EQ(rig.ui.title, "Blokkenveld");

    rig.ui.chosenFiles = {rig.folder.Path("c.bvo")};
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + rig.folder.Path("c.bvo"));
    EXPECT_TRUE(rig.editor->named);
    EXPECT_EQ(TempFolder::Read(rig.folder.Path("c.bvo")), "Blokkenveld\n1 0\n1\n100 100 100 ffffffff\n");
}

TEST(DocumentCommands, OpeningObjectsAndBitmapsSetsNameAndTitle) {
    CommandRig rig;
    const std::string good = rig.folder.Write("good.bvo", "Blokkenveld\n1 0\n1\n5 5 5 ff\n");
    const std::string bad = rig.folder.Write("bad.bvo", "Blokkenveld\n1 0\n1\n");
    BitmapBuilder bitmap;
    bitmap.rows = {1, 2, 3, 0};
    const std::string picture = rig.folder.Write("pic.bmp", bitmap.Bytes());
    rig.ui.chosenFiles = {good, bad, picture};
    CommandOpen(rig.context);
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + good);
    CommandOpen(rig.context);
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{"ファイルの読み込みに失敗しました"});
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + good);
    EXPECT_STREQ(rig.documents.currentFileName, good.c_str());
    CommandOpen(rig.context);
    EXPECT_EQ(rig.ui.title, "Blokkenveld");
    EXPECT_STREQ(rig.documents.currentFileName, good.c_str());
    EXPECT_FALSE(rig.editor->named);

    // A drop goes through the same prompt and opening; its path is what the next open dialog proposes.
    rig.editor->modified = true;
    rig.ui.saveAnswers = {DocumentUi::Answer::Cancel};
    CommandDrop(rig.context, good.c_str());
    EXPECT_STREQ(rig.documents.openFileName, good.c_str());
    EXPECT_EQ(rig.ui.title, "Blokkenveld");
}

// The save question comes before the Open dialog, and whatever is opened starts unmodified.
TEST(DocumentCommands, OpenAsksFirstAndWhatItOpensStartsUnmodified) {
    CommandRig rig;
    BitmapBuilder bitmap;
    bitmap.rows = {1, 2, 3, 0};
    for (const std::string& path : {rig.folder.Write("good.bvo", "Blokkenveld\n1 0\n1\n5 5 5 ff\n"),
                                    rig.folder.Write("pic.bmp", bitmap.Bytes())}) {
        rig.Modify();
        rig.ui.saveAnswers = {DocumentUi::Answer::No};
        rig.ui.chosenFiles = {path};
        rig.ui.log.clear();
        CommandOpen(rig.context);
        EXPECT_EQ(rig.ui.log, (std::vector<std::string>{"save changes", "dialog"})) << path;
        EXPECT_FALSE(rig.editor->modified) << path;
        EXPECT_EQ(rig.editor->scene.liveCubeCount, 1) << path;
    }
}

TEST(DocumentCommands, ASampleOpensAsANewUnnamedSceneAfterTheQuestion) {
    CommandRig rig;
    const std::string sample = rig.folder.Write("house.bvo", "Blokkenveld\n1 0\n3\n5 5 5 ff\n6 5 5 ff\n7 5 5 ff\n");
    rig.Name(rig.folder.Path("mine.bvo"));
    rig.Modify();
    rig.ui.saveAnswers = {DocumentUi::Answer::Cancel};
    CommandOpenSample(rig.context, sample.c_str());
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 2) << "Cancel keeps the scene";
    rig.ui.saveAnswers = {DocumentUi::Answer::No};
    CommandOpenSample(rig.context, sample.c_str());
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 3);
    EXPECT_FALSE(rig.editor->named);
    EXPECT_FALSE(rig.editor->modified);
    EXPECT_STREQ(rig.documents.currentFileName, "");
    EXPECT_EQ(rig.ui.title, "Blokkenveld");
}

TEST(DocumentCommands, CommandLineFilesOpenAtStartOrLeaveANewScene) {
    CommandRig rig;
    const std::string scene = rig.folder.Write("my scene.bvo", "Blokkenveld\n1 0\n1\n5 5 5 ff\n");
    rig.editor->newSceneRequest = true;
    OpenCommandLineFile(rig.context, ("\"" + scene + "\"").c_str());
    EXPECT_FALSE(rig.editor->newSceneRequest);
    EXPECT_EQ(rig.ui.title, "Blokkenveld - " + scene);

    CommandRig failing;
    failing.editor->newSceneRequest = false;
    BitmapBuilder big;
    big.width = 101;
    OpenCommandLineFile(failing.context, failing.folder.Write("big.bmp", big.Bytes()).c_str());
    EXPECT_EQ(failing.ui.errors, std::vector<std::string>{"ビットマップは100×100以下にする必要があります"});
    EXPECT_TRUE(failing.editor->newSceneRequest);
    // A file dropped before the first frame is not wiped by the new scene the failure asked for.
    CommandDrop(failing.context, scene.c_str());
    EXPECT_FALSE(failing.editor->newSceneRequest);
    failing.Frame();
    EXPECT_EQ(failing.editor->scene.cubes[0].x, 5.0f);
    EXPECT_EQ(failing.editor->scene.liveCubeCount, 1);
}

TEST(DocumentCommands, PaletteAndTextureRequests) {
    CommandRig rig;
    Editor& editor = *rig.editor;
    // A palette in the program folder is recorded by its bare name, one elsewhere by its full path.
    TempFolder elsewhere;
    editor.palette[0] = 0xFF0A0B0C;
    rig.ui.chosenFiles = {rig.folder.Path("mine.bvp"), elsewhere.Path("other.bvp")};
    CommandPaletteSave(rig.context);
    EXPECT_EQ(rig.ini.written["PALETTE"], "mine.bvp");
    CommandPaletteSave(rig.context);
    EXPECT_EQ(rig.ini.written["PALETTE"], elsewhere.Path("other.bvp"));
    editor.palette[0] = 0xFF123456;
    rig.ui.chosenFiles = {rig.folder.Path("mine.bvp")};
    CommandPaletteLoad(rig.context);
    EXPECT_EQ(editor.palette[0], 0xFF0A0B0Cu);
    EXPECT_TRUE(editor.ignoreNextClick);

    // With no textured cube nothing is asked; with one, No ends it before any dialog.
    BitmapBuilder atlas;
    atlas.width = atlas.height = 128;
    atlas.rows.assign(128 * 128 * 3, 0x20);
    const std::string texture = rig.folder.Write("atlas.bmp", atlas.Bytes());
    rig.ui.chosenFiles = {texture};
    rig.settings.textureSource = TextureNameSource::SceneFile;
    CommandTextureLoad(rig.context);
    EXPECT_TRUE(rig.ui.questions.empty());
    EXPECT_STREQ(rig.settings.textureName, "atlas.bmp");
    EXPECT_EQ(rig.settings.textureSource, TextureNameSource::UserChoice) << "no longer the name a scene gave";
    EXPECT_EQ(editor.atlas.pixels.size(), 128u * 128u);
    EXPECT_FALSE(editor.modified);
    editor.scene.cubes[0].textured = 1;
    rig.ui.yesNoAnswers = {false};
    const size_t dialogs = rig.ui.dialogs.size();
    CommandTextureLoad(rig.context);
    EXPECT_EQ(rig.ui.dialogs.size(), dialogs);
    // One the decoder cannot read keeps the atlas and the name.
    rig.atlas.accept = false;
    rig.ui.yesNoAnswers = {true};
    rig.ui.chosenFiles = {elsewhere.Write("broken.bmp", atlas.Bytes())};
    CommandTextureLoad(rig.context);
    EXPECT_EQ(rig.ui.errors.back(), "ビットマップの読み込みに失敗しました");
    EXPECT_STREQ(rig.settings.textureName, "atlas.bmp");
    EXPECT_EQ(editor.atlas.pixels[0], 0xFF202020u);
    EXPECT_FALSE(editor.modified);
    // Textured cubes change with the atlas: the scene counts as changed.
    rig.atlas.accept = true;
    rig.ui.yesNoAnswers = {true};
    rig.ui.chosenFiles = {texture};
    CommandTextureLoad(rig.context);
    EXPECT_TRUE(editor.modified);
}

TEST(DocumentCommands, ClosingAsksFirstAndIsRefusedWhileSaving) {
    CommandRig rig;
    rig.documents.saving = true;
    EXPECT_FALSE(CommandClose(rig.context));
    rig.documents.saving = false;
    EXPECT_TRUE(CommandClose(rig.context));
    rig.Modify();
    rig.ui.saveAnswers = {DocumentUi::Answer::Yes, DocumentUi::Answer::Yes, DocumentUi::Answer::Yes,
                          DocumentUi::Answer::No};
    rig.ui.chosenFiles = {"", rig.folder.Path("copy.glb"), rig.folder.Path("kept.bvo")};
    EXPECT_FALSE(CommandClose(rig.context));                  // the save dialog cancelled: the window stays
    EXPECT_FALSE(CommandClose(rig.context));                  // an export is no save of the scene: the window stays
    EXPECT_EQ(rig.ui.dialogs.back(), FileDialog::SceneSave);  // the dialog offers the object file alone
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{TextOf(TextId::SceneKind)});
    EXPECT_EQ(rig.folder.Count(), 0u);
    EXPECT_TRUE(rig.editor->modified);
    EXPECT_TRUE(CommandClose(rig.context));
    EXPECT_FALSE(rig.editor->modified);
    rig.editor->modified = true;
    EXPECT_TRUE(CommandClose(rig.context));  // No: closes without saving
}

// An opened model's mirror planes run through its middle on each axis, a face where it spans an even number of cells
// and a cell's middle where odd; whether each is on stays. New lays them through the start cube again. A model out
// of view is framed by the next frame; one in view keeps the camera.
TEST(DocumentCommands, AnOpenedModelIsMirroredAboutItsMiddleAndFramedWhenOutOfView) {
    CommandRig rig;
    Editor& editor = *rig.editor;
    editor.mirror.on[1] = true;
    const std::string wide = rig.folder.Write("wide.bvo", "Blokkenveld\n1 0\n2\n96 100 30 ff\n105 102 31 ff\n");
    const std::string small = rig.folder.Write("small.bvo", "Blokkenveld\n1 0\n2\n100 100 100 ff\n101 99 100 ff\n");
    rig.ui.chosenFiles = {wide, small};
    CommandOpen(rig.context);
    EXPECT_EQ(std::vector<int32_t>(editor.mirror.sum, editor.mirror.sum + 3), (std::vector<int32_t>{201, 202, 61}));
    EXPECT_TRUE(!editor.mirror.on[0] && editor.mirror.on[1] && !editor.mirror.on[2]);
    rig.Frame();
    EXPECT_EQ((std::vector<float>{editor.camera.targetX, editor.camera.targetY, editor.camera.targetZ}),
              (std::vector<float>{101.0f, 101.5f, 31.0f}));
    editor.camera.masterZoom = kMinZoom;  // the user comes closer: the model no longer fits
    editor.camera.distance = static_cast<float>(kMinZoom);
    rig.Frame();
    EXPECT_EQ(editor.camera.masterZoom, kMinZoom) << "framed once, not every frame";

    CommandNew(rig.context);
    EXPECT_EQ(std::vector<int32_t>(editor.mirror.sum, editor.mirror.sum + 3), (std::vector<int32_t>{200, 200, 200}));
    EXPECT_TRUE(editor.mirror.on[1]);
    ResetCamera(editor.camera);
    CommandOpen(rig.context);
    rig.Frame();
    EXPECT_EQ(editor.camera.targetX, kStartTarget) << "a model in view keeps the camera";
    EXPECT_EQ(editor.camera.masterZoom, kStartMasterZoom);
}
