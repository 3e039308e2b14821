// The browser build's plain C++: keys, buttons and the wheel as the page reports them, the menu bar's commands and
// states, and the lists of facing triangles and edges its renderer draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "editor/editor.h"
#include "editor/platform.h"
#include "editor_menu_items.h"
#include "render/vertices.h"
#include "render/webgl/facing_lists.h"
#include "resource_ids.h"
#include "text/texts.h"
#include "web/browser_input.h"
#include "web/menu_commands.h"

TEST(BrowserInput, KeysAndButtonsArePolledByTheirWindowsCodes) {
    BrowserInput input;
    // keyCode values as browsers give them: Ctrl 17, Z 90, the left arrow 37.
    EXPECT_EQ(input.Key(17, true), kKeyControl);
    input.Key(90, true);
    input.Key(37, true);
    EXPECT_TRUE(input.Down(kKeyControl));
    EXPECT_TRUE(input.Down(kKeyZ));
    EXPECT_TRUE(input.Down(kKeyLeft));
    input.Key(90, false);
    EXPECT_FALSE(input.Down(kKeyZ));
    EXPECT_TRUE(input.Down(kKeyControl));
    // A held key's repeats keep it down but are no new press, which would act again in the view.
    input.ForgetPresses();
    input.Key(77, true, true);
    EXPECT_TRUE(input.Down(kKeyM));
    EXPECT_FALSE(input.Pressed(kKeyM));

    input.Button(kDomLeftButton, true);
    input.Button(kDomRightButton, true);
    input.Button(kDomMiddleButton, true);
    EXPECT_TRUE(input.Down(kKeyLeftButton));
    EXPECT_TRUE(input.Down(kKeyRightButton));
    EXPECT_TRUE(input.Down(kKeyMiddleButton));
    input.Button(kDomRightButton, false);
    EXPECT_FALSE(input.Down(kKeyRightButton));
    EXPECT_TRUE(input.Pressed(kKeyRightButton));  // kept for the next frame
    EXPECT_TRUE(input.Down(kKeyMiddleButton));

    // A key an input method is composing, and codes beyond a byte, are nothing.
    EXPECT_EQ(input.Key(229, true), 0);
    EXPECT_EQ(input.Key(0, true), 0);
    EXPECT_EQ(input.Key(300, true), 0);
    EXPECT_FALSE(input.Down(0));
    EXPECT_TRUE(KeepFromBrowser(kKeyHome, false));  // which would scroll the page

    // Losing the focus loses the key-ups: nothing is held afterwards.
    input.ReleaseAll();
    EXPECT_FALSE(input.Down(kKeyControl));
    EXPECT_FALSE(input.Down(kKeyLeftButton));
    EXPECT_FALSE(input.Down(kKeyMiddleButton));
    input.Key(90, false);
    EXPECT_FALSE(input.Pressed(kKeyRightButton) || input.Pressed(kKeyZ));
}

TEST(BrowserInput, WheelCountsNotchesAsWindowsDoes) {
    BrowserInput input;
    // Away from the user is positive, as the wheel message has it: a page delta of -100 pixels is one notch.
    EXPECT_EQ(input.Wheel(-100.0, kWheelPixels), 1);
    EXPECT_EQ(input.Wheel(100.0, kWheelPixels), -1);
    EXPECT_EQ(input.Wheel(300.0, kWheelPixels), -3);
    EXPECT_EQ(input.Wheel(-3.0, kWheelLines), 1);
    EXPECT_EQ(input.Wheel(2.0, kWheelPages), -2);
    // Short steps add up to a notch in the same direction, and start afresh when the direction turns.
    EXPECT_EQ(input.Wheel(-53.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-53.0, kWheelPixels), 1);
    EXPECT_EQ(input.Wheel(60.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-60.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-40.0, kWheelPixels), 1);
    input.ReleaseAll();
    EXPECT_EQ(input.Wheel(-99.0, kWheelPixels), 0);
    // A flood of travel is held at the wheel message's 16 bits.
    EXPECT_EQ(input.Wheel(-1e9, kWheelPixels), 32767);
}

namespace {

class RecordingMenuShell : public MenuShell {
public:
    std::vector<int> run;
    void RunShellCommand(int commandId) override { run.push_back(commandId); }
};

}  // namespace

TEST(MenuCommands, EveryCommandIsOfferedButUndoAndRedoAsTheFrameLeftThem) {
    auto editor = std::make_unique<Editor>();
    RecordingMenuShell shell;
    for (int command : kMenuCommands) {  // nothing selected or copied: the Edit items greyed but Select All
        const bool greyed = command == ID_OPTIONS_UNDO || command == ID_OPTIONS_REDO ||
                            (command >= ID_EDIT_CUT && command <= ID_EDIT_PAINT && command != ID_EDIT_SELECT_ALL);
        EXPECT_EQ(MenuStateOf(*editor, command, false, false).enabled, !greyed) << command;
        if (command == ID_EDIT_SELECT_ALL)
            continue;
        EXPECT_EQ(RunMenuCommand(*editor, shell, command, false, false), !greyed) << command;
    }
    // The document commands, the dialogs and help are the shell's, each handed over once.
    const std::vector<int> shellCommands = {ID_FILE_NEW,        ID_FILE_OPEN,        ID_FILE_SAMPLES, ID_FILE_SAVE,
                                            ID_FILE_SAVE_AS,    ID_FILE_SCREENSHOT,  ID_OPTIONS_SETTINGS,
                                            ID_OPTIONS_LANGUAGE_JAPANESE, ID_OPTIONS_LANGUAGE_ENGLISH,
                                            ID_HELP_HELP,       ID_HELP_VERSION};
    EXPECT_EQ(shell.run, shellCommands);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_UNDO, true, false).enabled, true);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_REDO, true, false).enabled, false);
    EXPECT_FALSE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
    // A command the menu bar does not carry is nothing, for the editor and for the shell.
    EXPECT_FALSE(MenuStateOf(*editor, 40003, true, true).enabled);
    EXPECT_FALSE(RunMenuCommand(*editor, shell, 40003, true, true));
    EXPECT_EQ(shell.run.size(), shellCommands.size());
    // The language items: the program's own checked, the other not, in both languages.
    for (Language language : {Language::English, Language::Japanese}) {
        SetLanguage(language);
        EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_LANGUAGE_ENGLISH, false, false).checked,
                  language == Language::English);
        EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_LANGUAGE_JAPANESE, false, false).checked,
                  language == Language::Japanese);
    }
    for (const EditorMenuItem& item : kEditorMenuItems)  // on the bar but for the moves, which only keys post
        EXPECT_EQ(std::count(kMenuCommands, kMenuCommands + kMenuCommandCount, item.commandId),
                  item.commandId < ID_EDIT_MOVE_LEFT ? 1 : 0) << item.commandId;
}

// What the page learns of its clipboard, in order: each step's command, outcome and the cubes known after it.
TEST(MenuCommands, PasteIsOfferedWhileThePageKnowsOfCubesOnTheClipboard) {
    using C = EditorCommand;
    using O = ClipboardOutcome;
    const std::tuple<C, O, bool> steps[] = {
        {C::Copy, O::Nothing, false},    {C::Cut, O::PutRefused, false},   {C::Paste, O::TakeRefused, false},
        {C::Cut, O::Done, true},         {C::Paste, O::TakeRefused, true}, {C::Copy, O::Nothing, true},
        {C::Copy, O::PutRefused, true},  {C::Paste, O::NotAScene, false},  {C::Paste, O::TooMany, true},
        {C::Paste, O::NotAScene, false}, {C::Paste, O::OutOfRange, true},  {C::Paste, O::NotAScene, false},
        {C::Paste, O::Done, true}};
    ClipboardKnowledge known;
    for (const auto& [command, outcome, cubes] : steps) {
        known.Note(command, outcome);
        EXPECT_EQ(known.HasCubes(), cubes) << static_cast<int>(command) << " " << static_cast<int>(outcome);
    }
}

// A key's press in the page: the command posted, and whether the browser is kept from it.
TEST(MenuCommands, PageKeysPostTheShortcutsAndLeaveTheClipboardsToTheBrowser) {
    // key, Ctrl, Shift, repeat; command, kept
    const std::tuple<int, int, int, int, int, int> keys[] = {
        {'S', 1, 0, 0, ID_FILE_SAVE, 1}, {'S', 1, 0, 1, 0, 1}, {'S', 0, 0, 0, 0, 0},  // held: never the browser's
        {'C', 1, 0, 0, 0, 0}, {'V', 1, 0, 1, 0, 0},                                    // the copy and paste events'
        {'R', 0, 0, 0, ID_EDIT_TURN, 1}, {'R', 0, 0, 1, 0, 1}, {'R', 1, 0, 0, 0, 0},   // Ctrl+R: the browser's reload
        {kKeyLeft, 0, 1, 1, ID_EDIT_MOVE_LEFT, 1}, {kKeyLeft, 0, 0, 0, 0, 1},          // the camera's: no scrolling
        {kKeyZ, 1, 0, 1, 0, 1}, {0, 1, 0, 0, 0, 0}};
    for (const auto& [key, ctrl, shift, repeat, command, kept] : keys) {
        const PageKeyAction action = PageKeyActionOf(key, ctrl, shift, false, repeat);
        EXPECT_EQ(action.commandId, command) << key << ctrl << shift << repeat;
        EXPECT_EQ(action.keepFromBrowser, kept) << key << ctrl << shift << repeat;
    }
}

TEST(MenuCommands, ViewItemsToggleThePanelsAndCarryTheirCheckMarks) {
    auto editor = std::make_unique<Editor>();
    RecordingMenuShell shell;
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, false, false).checked);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_PAINT_WINDOW, false, false));
    EXPECT_FALSE(editor->paintWindow.shown);
    EXPECT_FALSE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, false, false).checked);
    EXPECT_TRUE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_STATUS_WINDOW, false, false));
    EXPECT_FALSE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_STATUS_WINDOW, false, false));
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_STATUS_WINDOW, false, false).checked);

    editor->camera.yaw = 1.0f;
    editor->camera.masterZoom = 50.0;
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_RESET_CAMERA, false, false));
    EXPECT_EQ(editor->camera.yaw, kStartYaw);
    EXPECT_EQ(editor->camera.masterZoom, kStartMasterZoom);
    editor->ResetScene();
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_FRAME_MODEL, false, false));
    EXPECT_LT(editor->camera.masterZoom, kStartMasterZoom);  // framed, not reset
    for (int axis = 0; axis < 3; ++axis) {  // each mirror item its own plane, checked as the editor has it
        EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_MIRROR_X + axis, false, false));
        for (int other = 0; other < 3; ++other) {
            EXPECT_EQ(editor->mirror.on[other], other <= axis);
            EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_MIRROR_X + other, false, false).checked, other <= axis);
        }
    }

    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_UNDO, true, true));
    EXPECT_TRUE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_REDO, true, true));
    EXPECT_TRUE(editor->undo.redoRequest);
    EXPECT_TRUE(shell.run.empty()) << "the editor's own commands never reach the shell";
}

// Only the triangles that wind clockwise seen from the eye, the device's front, are filled, and only their edges drawn.
TEST(FacingLists, KeepsTheTrianglesThatFaceTheEyeAndTheirEdges) {
    // The +z side of the cube at the origin as the mesh writes it: (1, 2, 3) and (1, 3, 4), clockwise from +z.
    const ColouredVertex side[6] = {{1, 0, 1, 0, 0, 1, 0}, {1, 1, 1, 0, 0, 1, 0}, {0, 1, 1, 0, 0, 1, 0},
                                    {1, 0, 1, 0, 0, 1, 0}, {0, 1, 1, 0, 0, 1, 0}, {0, 0, 1, 0, 0, 1, 0}};
    ColouredVertex list[12];
    std::copy(side, side + 6, list);
    // The same side turned away: the -z side at z = 0, wound the other way round.
    for (int i = 0; i < 6; ++i) {
        list[6 + i] = side[5 - i];
        list[6 + i].z = 0.0f;
    }
    uint16_t triangles[12], edges[24];
    // A clip transform that takes everything in: w = 1 and the points stay within the unit box.
    Matrix all = MatrixScaling(0.1f, 0.1f, 0.1f);
    all.m[3][2] = 0.5f;
    const FacingLists front =
        BuildFacingLists(list, sizeof(ColouredVertex), 4, {0.5f, 0.5f, 5.0f}, all, triangles, edges);
    ASSERT_EQ(front.triangleIndices, 6);
    // The shared diagonal (2, 0) = (3, 4) is drawn once: five edges for the side, and the second triangle takes
    // the same corners by the first one's indices.
    ASSERT_EQ(front.edgeIndices, 10);
    EXPECT_EQ(std::vector<uint16_t>(triangles, triangles + 6), (std::vector<uint16_t>{0, 1, 2, 0, 2, 5}));
    EXPECT_EQ(std::vector<uint16_t>(edges, edges + 10), (std::vector<uint16_t>{0, 1, 1, 2, 2, 0, 2, 5, 5, 0}));

    // Corners in the same place but of another colour are kept apart; the edge there is still drawn once.
    ColouredVertex recoloured[6];
    std::copy(side, side + 6, recoloured);
    recoloured[4].diffuse = 0xFFFF0000u;
    const FacingLists apart =
        BuildFacingLists(recoloured, sizeof(ColouredVertex), 2, {0.5f, 0.5f, 5.0f}, all, triangles, edges);
    EXPECT_EQ(apart.edgeIndices, 10);
    EXPECT_EQ(std::vector<uint16_t>(triangles, triangles + 6), (std::vector<uint16_t>{0, 1, 2, 3, 4, 5}));
    // A fan that only shares its first corner shares no edge: all six are drawn.
    ColouredVertex fan[6];
    std::copy(side, side + 3, fan);
    fan[3] = side[0];
    fan[4] = {0, 0.5f, 1, 0, 0, 1, 0};
    fan[5] = side[5];
    const FacingLists fanned =
        BuildFacingLists(fan, sizeof(ColouredVertex), 2, {0.5f, 0.5f, 5.0f}, all, triangles, edges);
    EXPECT_EQ(fanned.triangleIndices, 6);
    EXPECT_EQ(fanned.edgeIndices, 12);

    // From behind, only the other side; from within the plane of a side, it is edge-on and drawn by neither.
    const FacingLists back =
        BuildFacingLists(list, sizeof(ColouredVertex), 4, {0.5f, 0.5f, -5.0f}, all, triangles, edges);
    ASSERT_EQ(back.triangleIndices, 6);
    EXPECT_EQ(triangles[0], 6);
    // Reversed, the side's triangles do not meet edge to edge in that order: all six edges are drawn.
    EXPECT_EQ(back.edgeIndices, 12);
    EXPECT_EQ(edges[11], 9);
    EXPECT_EQ(
        BuildFacingLists(list, sizeof(ColouredVertex), 2, {3.0f, 0.5f, 1.0f}, all, triangles, edges).triangleIndices,
        0);
    // The stride is honoured: the textured layout puts its positions 36 bytes apart.
    TexturedVertex textured[3] = {};
    for (int i = 0; i < 3; ++i) {
        textured[i].x = side[i].x;
        textured[i].y = side[i].y;
        textured[i].z = side[i].z;
    }
    EXPECT_EQ(
        BuildFacingLists(textured, sizeof(TexturedVertex), 1, {0.5f, 0.5f, 5.0f}, all, triangles, edges).edgeIndices,
        6);
}

// What lies wholly beyond one side of the view is left out; what straddles it, or crosses it corner to corner
// beyond different sides, stays.
TEST(FacingLists, LeavesOutWhatLiesOutsideTheView) {
    // Eye at the origin looking along +z, as the editor's camera sets it up: 60 degrees, 4:3, 0.1 to 300.
    const Matrix toClip = MatrixMultiply(MatrixLookAtLH({0, 0, 0}, {0, 0, 1}, {0, 1, 0}),
                                         MatrixPerspectiveFovLH(1.0471975f, 4.0f / 3.0f, 0.1f, 300.0f));
    // Small triangles facing the eye (clockwise seen from it), at a spot in x, y, z.
    auto at = [](float x, float y, float z) {
        std::vector<ColouredVertex> v = {
            {x, y, z, 0, 0, -1, 0}, {x, y + 0.1f, z, 0, 0, -1, 0}, {x + 0.1f, y, z, 0, 0, -1, 0}};
        return v;
    };
    const std::vector<std::vector<ColouredVertex>> inside = {at(0, 0, 5), at(-2.8f, 0, 5), at(0, 0, 299.5f),
                                                             at(0, 0, 0.15f)};
    const std::vector<std::vector<ColouredVertex>> outside = {at(-10, 0, 5), at(10, 0, 5),    at(0, 10, 5),
                                                              at(0, -10, 5), at(0, 0, 0.08f), at(0, 0, 301)};
    uint16_t triangles[3], edges[6];
    for (const auto& t : inside)
        EXPECT_EQ(
            BuildFacingLists(t.data(), sizeof(ColouredVertex), 1, {0, 0, 0}, toClip, triangles, edges).triangleIndices,
            3)
            << t[0].x << "," << t[0].y << "," << t[0].z;
    for (const auto& t : outside)
        EXPECT_EQ(
            BuildFacingLists(t.data(), sizeof(ColouredVertex), 1, {0, 0, 0}, toClip, triangles, edges).triangleIndices,
            0)
            << t[0].x << "," << t[0].y << "," << t[0].z;
    // A long triangle from beyond the left side to beyond the right crosses the view and stays.
    const ColouredVertex across[3] = {
        {-50, -0.5f, 10, 0, 0, -1, 0}, {0, 0.5f, 10, 0, 0, -1, 0}, {50, -0.5f, 10, 0, 0, -1, 0}};
    EXPECT_EQ(BuildFacingLists(across, sizeof(ColouredVertex), 1, {0, 0, 0}, toClip, triangles, edges).triangleIndices,
              3);
}
