// The browser build's files, settings and kept scene, natively: saves handed over as downloads, the settings in
// the page's storage by the INI's rules, the colour dialog's endings, and the copy of an unsaved scene.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <tuple>

#include "editor/document/document.h"
#include "editor/editor.h"
#include "fake_platform.h"
#include "file_fixtures.h"
#include "files/object_file.h"
#include "web/page_files.h"
#include "web/scene_keeper.h"
#include "web/settings_dialog.h"
#include "web/storage_ini.h"

namespace {

class RecordingDelivery : public FileDelivery {
public:
    Delivery result = Delivery::Written;
    std::vector<std::pair<std::string, std::string>> delivered;
    std::vector<bool> copyRequired;  // as each was asked
    Delivery Deliver(const char* path, const std::vector<uint8_t>& bytes, bool required) override {
        delivered.emplace_back(path, std::string(bytes.begin(), bytes.end()));
        copyRequired.push_back(required);
        return result;
    }
};

class MapStore : public KeyValueStore {
public:
    std::map<std::string, std::string> values;
    bool Get(const char* name, std::string& value) override {
        const auto found = values.find(name);
        if (found == values.end())
            return false;
        value = found->second;
        return true;
    }
    void Set(const char* name, const char* value) override { values[name] = value; }
};

class RecordingSceneStore : public KeptSceneStore {
public:
    std::vector<std::string> kept;  // texts, in order
    std::string name;
    int forgotten = 0;
    bool refuse = false;
    int refused = 0;
    bool Keep(const std::string& objectText, const char* documentName) override {
        if (refuse) {
            ++refused;
            return false;
        }
        kept.push_back(objectText);
        name = documentName;
        return true;
    }
    void Forget() override { ++forgotten; }
};

// The document commands on the page's file system over a temporary folder and the page's telling of failed saves,
// on an unnamed scene of two cubes with a change not saved.
struct PageRig : EditorRig {
    TempFolder folder;
    RecordingDelivery delivery;
    PageFileSystem files{delivery};
    ScriptedUi ui;
    PageSaveReports reports{ui, files};
    BitmapOnlyAtlas atlas;
    MapStore store;
    StorageIniStore ini{store};
    Settings settings;
    Documents documents;
    std::string directory = folder.Directory();
    DocumentContext context{*editor, documents, reports, files, atlas, ini, settings, directory.c_str()};

    PageRig() {
        Frame();
        PlaceCube(editor->scene, 1, 101, 100, 100);
        editor->modified = true;
    }
};

constexpr char kThreeCubes[] =
    "Blokkenveld\r\n1 0\r\n3\r\n100 100 100 ffffffff\r\n100 101 100 ffffffff\r\n"
    "100 102 100 ffffffff\r\n";

}  // namespace

TEST(PageFiles, ASaveIsHandedOverWholeUnderItsNameWithTheExesLineEnds) {
    TempFolder folder;
    RecordingDelivery delivery;
    PageFileSystem files(delivery);
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    PlaceCube(editor->scene, 1, 101, 100, 100).colour = 0xFFFF0000u;
    editor->modified = true;

    const std::string path = folder.Path("scene.bvo");
    ASSERT_TRUE(SaveScene(*editor, files, path.c_str(), "tex.bmp"));
    ASSERT_EQ(delivery.delivered.size(), 1u);
    EXPECT_EQ(delivery.delivered[0].first, path);
    EXPECT_EQ(delivery.delivered[0].second,
              "Blokkenveld\r\n1 0\r\n2\r\n100 100 100 ffffffff\r\n101 100 100 ffff0000\r\n");
    EXPECT_EQ(delivery.delivered[0].second, TempFolder::Read(path)) << "the page keeps what it handed over";
    EXPECT_FALSE(editor->modified);
    EXPECT_EQ(folder.Count(), 1u) << "no temporary file is left";

    // A kind the program cannot write hands nothing over; a file that cannot be handed over is not saved.
    editor->modified = true;
    EXPECT_FALSE(SaveScene(*editor, files, folder.Path("scene.txt").c_str(), "tex.bmp"));
    delivery.result = Delivery::Failed;
    EXPECT_FALSE(SaveScene(*editor, files, path.c_str(), "tex.bmp"));
    EXPECT_EQ(delivery.delivered.size(), 2u);
    EXPECT_TRUE(editor->modified) << "the scene still counts as unsaved";
}

TEST(PageFiles, ADownloadWithNoCopyKeptLeavesItsSceneUnsaved) {
    TempFolder folder;
    RecordingDelivery delivery;
    PageFileSystem files(delivery);
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    Documents documents;
    const std::string path = folder.Path("scene.bvo");
    CopyPath(documents.currentFileName, path.c_str());
    editor->named = true;

    // Offered with a copy kept, or written: saved.
    for (const Delivery result : {Delivery::Offered, Delivery::Written}) {
        delivery.result = result;
        editor->modified = true;
        ASSERT_TRUE(SaveScene(*editor, files, path.c_str(), "tex.bmp"));
        KeepUnkeptSaveUnsaved(*editor, documents, files);
        EXPECT_FALSE(editor->modified);
    }
    // Offered with no copy: the save went through, but the scene it saved still counts as unsaved, once.
    delivery.result = Delivery::OfferedUnkept;
    ASSERT_TRUE(SaveScene(*editor, files, path.c_str(), "tex.bmp"));
    KeepUnkeptSaveUnsaved(*editor, documents, files);
    EXPECT_TRUE(editor->modified);
    editor->modified = false;
    KeepUnkeptSaveUnsaved(*editor, documents, files);
    EXPECT_FALSE(editor->modified);
    // An export, or a save before New took the scene away, leaves the document as it is.
    ASSERT_TRUE(SaveScene(*editor, files, folder.Path("scene.vox").c_str(), "tex.bmp"));
    documents.currentFileName[0] = '\0';
    ASSERT_TRUE(SaveScene(*editor, files, path.c_str(), "tex.bmp"));
    KeepUnkeptSaveUnsaved(*editor, documents, files);
    EXPECT_FALSE(editor->modified);
}

TEST(PageFiles, ASaveThatFailsBeforeItIsInPlaceIsNotHandedOver) {
    TempFolder folder;
    RecordingDelivery delivery;
    PageFileSystem files(delivery);
    // No folder to write into: the temporary file cannot be made.
    const std::string path = folder.Path("missing/palette.bvp");
    EXPECT_FALSE(SaveText(files, path.c_str(), "BlokkenveldPalette\n"));
    EXPECT_TRUE(delivery.delivered.empty());
    EXPECT_TRUE(SaveText(files, folder.Path("palette.bvp").c_str(), "BlokkenveldPalette\n"));
    ASSERT_EQ(delivery.delivered.size(), 1u);
    EXPECT_EQ(delivery.delivered[0].second, "BlokkenveldPalette\r\n");
}

TEST(StorageIni, IntegersReadAsTheProfileReaderReadsThem) {
    struct Case {
        const char* text;
        uint32_t value;
    };
    const Case cases[] = {{"12", 12}, {"  7", 7}, {"\t+5", 5},       {"-3", 0xFFFFFFFDu}, {"42abc", 42},
                          {"abc", 0}, {"- 1", 0}, {"4294967297", 1}, {"0x10", 0},         {"2147483648", 0x80000000u}};
    for (const Case& c : cases)
        EXPECT_EQ(ParseProfileInt(c.text), c.value) << c.text;

    MapStore store;
    StorageIniStore ini(store);
    store.values["SYSTEM/PWIN_X"] = "";
    EXPECT_EQ(ini.GetInt("PWIN_X", 9), 9u) << "an empty value gives the default";
    EXPECT_EQ(ini.GetInt("PWIN_Y", -1), 0xFFFFFFFFu);
    store.values["PWIN_Y"] = "40";
    EXPECT_EQ(ini.GetInt("PWIN_Y", 0), 0u) << "only the section's own names count";
}

TEST(StorageIni, SettingsSurviveARestartByTheirRules) {
    MapStore store;
    StorageIniStore ini(store);
    auto editor = std::make_unique<Editor>();
    Settings settings;
    ReadSettings(ini, settings, *editor);
    EXPECT_STREQ(settings.paletteName, "palette.bvp");

    editor->paintWindow.x = 120.7f;
    editor->paintWindow.y = -3.2f;  // written as -3 and read back so
    editor->statusWindow.shown = false;
    settings.background = {300, 2, 3};
    WriteExitSettings(ini, settings, *editor);
    WriteColourSettings(ini, settings);
    EXPECT_EQ(store.values["SYSTEM/PWIN_X"], "120");
    EXPECT_EQ(store.values["SYSTEM/SWIN_SHOW"], "0");
    EXPECT_EQ(store.values["SYSTEM/BGCOLOR_R"], "300");
    EXPECT_EQ(store.values.count("SYSTEM/PALETTE"), 0u) << "the palette is never written at exit";

    store.values["SYSTEM/WINDOW_MODE"] = "7";
    store.values["SYSTEM/TEXTURE"] = std::string(300, 'a');
    auto next = std::make_unique<Editor>();
    Settings read;
    ReadSettings(ini, read, *next);
    EXPECT_EQ(next->paintWindow.x, 120.0f);
    EXPECT_EQ(next->paintWindow.y, -3.0f);
    EXPECT_FALSE(next->statusWindow.shown);
    EXPECT_TRUE(next->paintWindow.shown);
    EXPECT_EQ(read.background.red, 300);
    EXPECT_EQ(ClearColour(read.background), 0xFF2C0203u) << "drawn with the low 8 bits";
    EXPECT_EQ(read.windowMode, 1);
    EXPECT_EQ(std::string(read.textureName), std::string(kTextureNameCapacity - 1, 'a')) << "cut to the buffer";
}

TEST(SettingsDialog, EachEndingKeepsPutsBackOrWritesAsTheExesDialog) {
    const RgbSetting chosenBackground{10, 20, 30};
    const RgbSetting chosenWireframe{200, 100, 0};
    struct Case {
        SettingsDialogEnd end;
        bool kept;     // the chosen colours are in effect afterwards
        bool written;  // and in the settings
    };
    const Case cases[] = {{SettingsDialogEnd::Ok, true, true},
                          {SettingsDialogEnd::Cancel, false, false},
                          {SettingsDialogEnd::CloseBox, true, false}};
    for (const Case& c : cases) {
        MapStore store;
        StorageIniStore ini(store);
        Settings settings;
        settings.background = {1, 2, 3};
        ColourDialogState dialog;
        BeginSettingsDialog(settings, dialog);
        settings.background = chosenBackground;  // as a chooser would set it while the dialog is open
        EXPECT_EQ(BackgroundColour(settings, dialog).red, 1) << "the view keeps the colours it opened with";
        EndSettingsDialog(c.end, chosenBackground, chosenWireframe, ini, settings, dialog);
        EXPECT_FALSE(dialog.open);
        EXPECT_EQ(BackgroundColour(settings, dialog).red, c.kept ? 10 : 1) << static_cast<int>(c.end);
        EXPECT_EQ(WireframeColour(settings, dialog).red, c.kept ? 200 : 0) << static_cast<int>(c.end);
        EXPECT_EQ(store.values.size(), c.written ? 6u : 0u) << static_cast<int>(c.end);
        if (c.written) {
            EXPECT_EQ(store.values["SYSTEM/BGCOLOR_B"], "30");
            EXPECT_EQ(store.values["SYSTEM/WFCOLOR_R"], "200");
        }
    }
}

TEST(SceneKeeper, KeepsAnUnsavedSceneAtMostOnceAnIntervalAndForgetsItOnceSaved) {
    RecordingSceneStore store;
    SceneKeeper keeper(store);
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    keeper.Tick(*editor, "tex.bmp", "", 1000);
    EXPECT_TRUE(store.kept.empty()) << "a saved scene needs no copy";
    EXPECT_EQ(store.forgotten, 0);

    // The first change is kept at once, with the document's name.
    PlaceCube(editor->scene, 1, 101, 100, 100);
    editor->modified = true;
    editor->named = true;
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 1016);
    ASSERT_EQ(store.kept.size(), 1u);
    EXPECT_EQ(store.kept[0], ObjectFileText(editor->scene, "tex.bmp"));
    EXPECT_EQ(store.name, "house.bvo");
    // The next one waits for the interval; nothing changed, nothing is written again.
    PlaceCube(editor->scene, 2, 102, 100, 100);
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 1016 + SceneKeeper::kLookInterval - 1);
    EXPECT_EQ(store.kept.size(), 1u);
    // The page's rest ends when that look is due.
    EXPECT_EQ(keeper.NextLookIn(1016 + SceneKeeper::kLookInterval - 1), 1);
    EXPECT_EQ(keeper.NextLookIn(1016 + 2 * SceneKeeper::kLookInterval), 0);
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 1016 + SceneKeeper::kLookInterval);
    ASSERT_EQ(store.kept.size(), 2u);
    EXPECT_LT(keeper.NextLookIn(1016 + SceneKeeper::kLookInterval), 0) << "no pass since that look";
    EXPECT_EQ(store.kept[1], ObjectFileText(editor->scene, "tex.bmp"));
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 1016 + 3 * SceneKeeper::kLookInterval);
    EXPECT_EQ(store.kept.size(), 2u) << "the same text is not written twice";
    // Every part of the text counts: a colour, a cell, a place, the texture's name, the document's name.
    uint32_t now = 1016 + 3 * SceneKeeper::kLookInterval;
    const auto changedBy = [&](auto change, const char* texture = "tex.bmp", const char* name = "house.bvo") {
        change(editor->scene.cubes[2]);
        now += SceneKeeper::kLookInterval;
        const size_t before = store.kept.size();
        keeper.Tick(*editor, texture, name, now);
        return store.kept.size() == before + 1 && store.kept.back() == ObjectFileText(editor->scene, texture);
    };
    EXPECT_TRUE(changedBy([](CubeRecord& c) { c.colour = 0xFF123456u; }));
    EXPECT_TRUE(changedBy([](CubeRecord& c) { c.textured = 1; }));
    EXPECT_TRUE(changedBy([](CubeRecord& c) { c.cellRow = 5; }));
    EXPECT_TRUE(changedBy([](CubeRecord& c) { c.cellColumn = 3; }));
    EXPECT_TRUE(changedBy([](CubeRecord& c) { c.y = 90; }));
    EXPECT_TRUE(changedBy([](CubeRecord&) {}, "other.bmp"));
    EXPECT_TRUE(changedBy([](CubeRecord&) {}, "other.bmp", "barn.bvo"));
    EXPECT_FALSE(changedBy([](CubeRecord& c) { c.faceExposed[0] ^= 1; }, "other.bmp", "barn.bvo"))
        << "what the file does not hold is no change";
    editor->scene.cubes[2] = CubeRecord{};
    PlaceCube(editor->scene, 2, 102, 100, 100);
    keeper.Tick(*editor, "tex.bmp", "house.bvo", now += SceneKeeper::kLookInterval);

    // Leaving the page keeps the scene as it is now, the interval notwithstanding.
    PlaceCube(editor->scene, 3, 103, 100, 100);
    const size_t kept = store.kept.size();
    keeper.Flush(*editor, "tex.bmp", "house.bvo");
    ASSERT_EQ(store.kept.size(), kept + 1);
    EXPECT_EQ(store.kept.back(), ObjectFileText(editor->scene, "tex.bmp"));

    // Saved: the copy goes, once.
    editor->modified = false;
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 20000);
    keeper.Tick(*editor, "tex.bmp", "house.bvo", 20016);
    EXPECT_EQ(store.forgotten, 1);
    // A new change after the save is kept at once again, across the clock's wrap.
    editor->modified = true;
    keeper.Tick(*editor, "tex.bmp", "", 0xFFFFFFF0u);
    EXPECT_EQ(store.kept.size(), kept + 2);
    keeper.Tick(*editor, "tex.bmp", "", 0x10u);
    EXPECT_EQ(keeper.NextLookIn(0x10u), static_cast<int32_t>(SceneKeeper::kLookInterval) - 0x20);
    keeper.Tick(*editor, "tex.bmp", "", 0xFFFFFFF0u + SceneKeeper::kLookInterval);
    EXPECT_EQ(store.kept.size(), kept + 2);
    EXPECT_EQ(store.name, "");
    keeper.Tick(*editor, "tex.bmp", "", 0xFFFFFFF0u + SceneKeeper::kLookInterval + 1);
    editor->modified = false;
    keeper.Tick(*editor, "tex.bmp", "", 0xFFFFFFF0u + SceneKeeper::kLookInterval + 2);
    EXPECT_LT(keeper.NextLookIn(0xFFFFFFF0u + SceneKeeper::kLookInterval + 2), 0) << "a save ends the wait";
}

TEST(SceneKeeper, AnUnnamedSceneKeepsNoNameAndARefusedCopyIsToldOnceAndTriedOnChange) {
    RecordingSceneStore store;
    SceneKeeper keeper(store);
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    editor->modified = true;
    editor->named = false;  // a bitmap imported over tree.bvo: the old name is still the document's file name
    keeper.Tick(*editor, "tex.bmp", "tree.bvo", 0);
    EXPECT_EQ(store.name, "");

    store.refuse = true;
    uint32_t now = 0;
    const auto change = [&](int32_t slot) {
        PlaceCube(editor->scene, slot, 100 + slot, 100, 100);
        keeper.Tick(*editor, "tex.bmp", "", now += SceneKeeper::kLookInterval);
    };
    change(1);
    EXPECT_EQ(store.refused, 1);
    EXPECT_TRUE(keeper.TakeRefusalNotice());
    EXPECT_FALSE(keeper.TakeRefusalNotice()) << "told once";
    keeper.Tick(*editor, "tex.bmp", "", now += SceneKeeper::kLookInterval);
    EXPECT_EQ(store.refused, 1) << "the same scene is not tried at every look";
    change(2);
    EXPECT_EQ(store.refused, 2) << "a change is tried again";
    EXPECT_FALSE(keeper.TakeRefusalNotice());
    keeper.Flush(*editor, "tex.bmp", "");
    EXPECT_EQ(store.refused, 3) << "leaving tries once more";
    // Kept again, a later refusal is told again.
    store.refuse = false;
    change(3);
    EXPECT_EQ(store.kept.size(), 2u);
    store.refuse = true;
    change(4);
    EXPECT_TRUE(keeper.TakeRefusalNotice());
}

TEST(SceneKeeper, AKeptSceneComesBackUnsavedAndNamedAsItWas) {
    EditorRig rig;
    rig.Frame();
    TempFolder folder;
    StdFileSystem files;
    ScriptedUi ui;
    BitmapOnlyAtlas atlas;
    MapStore store;
    StorageIniStore ini(store);
    Settings settings;
    Documents documents;
    const std::string directory = folder.Directory();
    DocumentContext context{*rig.editor, documents, ui, files, atlas, ini, settings, directory.c_str()};

    const std::string kept =
        folder.Write("kept.bvo", "Blokkenveld\n1 0\n2\n100 100 100 ffffffff\n101 100 100 ff00ff00\n");
    ASSERT_TRUE(RestoreKeptScene(context, kept.c_str(), "house.bvo"));
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 2);
    EXPECT_TRUE(rig.editor->modified);
    EXPECT_TRUE(rig.editor->named);
    EXPECT_STREQ(documents.currentFileName, "house.bvo");
    EXPECT_EQ(ui.title, "Blokkenveld - house.bvo");

    ASSERT_TRUE(RestoreKeptScene(context, kept.c_str(), ""));
    EXPECT_FALSE(rig.editor->named) << "an unnamed scene asks for a name at the next Save";
    EXPECT_STREQ(documents.currentFileName, "");
    EXPECT_EQ(ui.title, "Blokkenveld");

    // A copy that does not read changes nothing and says so.
    const std::string broken = folder.Write("broken.bvo", "Blokkenveld\n1 0\n3\n100 100 100 ffffffff\n");
    EXPECT_FALSE(RestoreKeptScene(context, broken.c_str(), "other.bvo"));
    EXPECT_EQ(ui.errors, std::vector<std::string>{"ファイルの読み込みに失敗しました"});
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 2);
    EXPECT_STREQ(documents.currentFileName, "");
}

TEST(PageFiles, TheSaveQuestionNeedsACopyKeptAndAClosedPickerIsAQuietCancel) {
    PageRig rig;
    rig.delivery.result = Delivery::CopyRefused;
    rig.ui.saveAnswers = {DocumentUi::Answer::Yes};
    rig.ui.chosenFiles = {rig.folder.Path("work.bvo")};
    {
        CopiesRequired question(rig.files);
        CommandNew(rig.context);
    }
    EXPECT_FALSE(rig.editor->newSceneRequest) << "New stopped";
    EXPECT_EQ(rig.ui.errors, (std::vector<std::string>{TextOf(TextId::SaveFailed), TextOf(TextId::CopyRefused)}));
    // Save As needs no copy; its picker closed is told nothing. A failure after it is told, as is one before the
    // hand-over after a cancel nobody was told of.
    rig.delivery.result = Delivery::Cancelled;
    rig.ui.chosenFiles = {rig.folder.Path("work.bvo"), rig.folder.Path("work.bvo"), rig.folder.Path("no/work.bvo")};
    CommandSaveAs(rig.context);
    rig.delivery.result = Delivery::Failed;
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.delivery.copyRequired, (std::vector<bool>{true, false, false}));
    rig.delivery.result = Delivery::Cancelled;
    EXPECT_FALSE(SaveText(rig.files, rig.folder.Path("palette.bvp").c_str(), "BlokkenveldPalette\n"));
    CommandSaveAs(rig.context);
    EXPECT_EQ(rig.ui.errors.size(), 4u);
}

TEST(PageFiles, ADroppedFileIsHeldApartFromASaveUnderItsNameUntilItOpens) {
    PageRig rig;
    const std::string desk = rig.folder.Write("desk.bvo", "the user's older desk.bvo");
    const std::string held = rig.folder.Write("dropped", kThreeCubes);
    rig.ui.saveAnswers = {DocumentUi::Answer::Cancel, DocumentUi::Answer::Yes};
    rig.ui.chosenFiles = {desk};
    rig.files.HoldForOpening(desk.c_str(), held.c_str());
    EXPECT_FALSE(CommandDrop(rig.context, desk.c_str()));
    rig.files.ReleaseHeld();
    EXPECT_FALSE(rig.files.FileExists(held.c_str())) << "a drop the question cancelled leaves nothing waiting";
    // The second drop could not be read: nothing waits for it.
    for (const bool readable : {true, false}) {
        if (readable)
            rig.folder.Write("dropped", kThreeCubes);
        rig.files.HoldForOpening(desk.c_str(), held.c_str());
        EXPECT_TRUE(CommandDrop(rig.context, desk.c_str()));
        rig.files.ReleaseHeld();
        EXPECT_EQ(rig.editor->scene.liveCubeCount, 3) << "the file dropped, never the save under its name";
        EXPECT_EQ(TempFolder::Read(desk), kThreeCubes) << "a drop that does not read leaves the file alone";
        EXPECT_FALSE(rig.files.FileExists(held.c_str()));
    }
    ASSERT_EQ(rig.delivery.delivered.size(), 1u);
    EXPECT_NE(rig.delivery.delivered[0].second.find("\r\n2\r\n100 100 100 ffffffff\r\n101 100 100"), std::string::npos);
    EXPECT_EQ(rig.ui.errors, std::vector<std::string>{"ファイルの読み込みに失敗しました"});
}

namespace {

// Kept copies as storage gives them, newest first: {kind, name, text}.
class ListedScenes : public KeptSceneSource {
public:
    std::vector<std::tuple<KeptSceneKind, std::string, std::string>> copies;
    size_t given = 0;
    size_t letGo = 0;
    KeptSceneKind Next(const char* path, char (&name)[kPathCapacity]) override {
        if (given == copies.size())
            return KeptSceneKind::None;
        const auto& [kind, document, text] = copies[given++];
        std::ofstream(path, std::ios::binary) << text;
        CopyPath(name, document.c_str());
        return kind;
    }
    void LetGo() override { ++letGo; }
};

}  // namespace

TEST(SceneKeeper, EveryKeptCopyIsOfferedInTurnByItsNameUntilOneIsTakenBack) {
    PageRig rig;
    ListedScenes kept;
    kept.copies = {{KeptSceneKind::Offered, "/user/b.bvo", kThreeCubes},
                   {KeptSceneKind::Unsaved, "", "Blokkenveld\n1 0\n3\n"},
                   {KeptSceneKind::Unsaved, "/user/a.bvo", kThreeCubes},
                   {KeptSceneKind::Offered, "/user/c.bvo", kThreeCubes}};
    rig.ui.yesNoAnswers = {false, true, true, true};  // b declined, the unnamed one does not read, a taken back
    const std::string path = rig.folder.Path("kept.bvo");
    OfferKeptScenes(rig.context, kept, path.c_str());
    EXPECT_EQ(rig.ui.questions, (std::vector<std::string>{
                                    "ダウンロードとして保存したイメージ「b.bvo」の控えが残っています。復元しますか？",
                                    "前回保存されなかったイメージが残っています。復元しますか？",
                                    "前回保存されなかったイメージ「a.bvo」が残っています。復元しますか？"}));
    EXPECT_EQ(kept.letGo, 3u) << "c stays for a later start";
    EXPECT_EQ(rig.editor->scene.liveCubeCount, 3);
    EXPECT_STREQ(rig.documents.currentFileName, "/user/a.bvo");
}
