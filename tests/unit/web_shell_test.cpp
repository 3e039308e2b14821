// The browser build's plain C++: keys, buttons and the wheel as the page reports them, the menu bar's commands and
// states, and the lists of facing triangles and edges its renderer draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "editor/platform.h"
#include "editor_menu_items.h"
#include "render/vertices.h"
#include "render/webgl/facing_lists.h"
#include "resource_ids.h"
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

// The bar's items as the page writes them, in order.
std::vector<int> PageMenuCommands() {
    const std::string test = __FILE__;
    std::ifstream file(test.substr(0, test.rfind("tests/unit/")) + "src/web/index.html");
    const std::string page((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int> commands;
    const std::regex item("data-command=\"([0-9]+)\"");
    for (auto it = std::sregex_iterator(page.begin(), page.end(), item); it != std::sregex_iterator(); ++it)
        commands.push_back(std::stoi((*it)[1]));
    return commands;
}

bool Occupied(const Editor& editor, int x, int y, int z) {
    return editor.scene.Occupied(x, y, z);
}

}  // namespace

TEST(MenuCommands, EveryCommandIsOfferedButUndoAndRedoAsTheFrameLeftThem) {
    EXPECT_EQ(PageMenuCommands(), std::vector<int>(kMenuCommands, kMenuCommands + kMenuCommandCount));
    auto editor = std::make_unique<Editor>();
    editor->ResetScene();
    RecordingMenuShell shell;
    // One cube and nothing selected: the Edit items that act on a selection are greyed, Paste too while the page
    // knows of no cubes on the clipboard; Select All is offered.
    const std::vector<int> needSelection = {ID_EDIT_CUT,    ID_EDIT_COPY,   ID_EDIT_DELETE, ID_EDIT_SELECT_NONE,
                                            ID_EDIT_FLIP_X, ID_EDIT_FLIP_Y, ID_EDIT_FLIP_Z, ID_EDIT_TURN,
                                            ID_EDIT_PAINT};
    const auto greyed = [&](int command) {
        return command == ID_OPTIONS_UNDO || command == ID_OPTIONS_REDO || command == ID_EDIT_PASTE ||
               std::count(needSelection.begin(), needSelection.end(), command) == 1;
    };
    for (int command : kMenuCommands) {
        if (command == ID_EDIT_SELECT_ALL)
            continue;  // below, once the rest have run on a scene without a selection
        EXPECT_EQ(MenuStateOf(*editor, command, {}).enabled, !greyed(command)) << command;
        EXPECT_EQ(RunMenuCommand(*editor, shell, command, {}), !greyed(command)) << command;
    }
    // The document commands, the dialogs and help are the shell's, each handed over once.
    const std::vector<int> shellCommands = {ID_FILE_NEW,        ID_FILE_OPEN,        ID_FILE_SAMPLES, ID_FILE_SAVE,
                                            ID_FILE_SAVE_AS,    ID_FILE_SCREENSHOT,  ID_OPTIONS_SETTINGS,
                                            ID_HELP_HELP,       ID_HELP_VERSION};
    EXPECT_EQ(shell.run, shellCommands);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_UNDO, {true, false, false}).enabled, true);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_REDO, {true, false, false}).enabled, false);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_REDO, {false, true, false}).enabled, true);
    EXPECT_FALSE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
    // A command the menu bar does not carry is nothing, for the editor and for the shell.
    EXPECT_FALSE(MenuStateOf(*editor, 40003, {true, true, true}).enabled);
    EXPECT_FALSE(RunMenuCommand(*editor, shell, 40003, {true, true, true}));
    EXPECT_EQ(shell.run.size(), shellCommands.size());

    // The page's menu bar shows the editor's items, but for the moves, which only keys post: they run all the same,
    // greyed as the items are without a selection.
    for (const EditorMenuItem& item : kEditorMenuItems) {
        const bool move = item.commandId >= ID_EDIT_MOVE_LEFT && item.commandId <= ID_EDIT_MOVE_DOWN;
        EXPECT_EQ(std::count(kMenuCommands, kMenuCommands + kMenuCommandCount, item.commandId), move ? 0 : 1)
            << item.commandId;
    }
    EXPECT_FALSE(RunMenuCommand(*editor, shell, ID_EDIT_MOVE_UP, {}));
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_EDIT_SELECT_ALL, {}));
    EXPECT_TRUE(editor->selection.active);
    for (int command : needSelection)
        EXPECT_TRUE(MenuStateOf(*editor, command, {}).enabled) << command;
    EXPECT_FALSE(MenuStateOf(*editor, ID_EDIT_PASTE, {true, true, false}).enabled);
    EXPECT_TRUE(MenuStateOf(*editor, ID_EDIT_PASTE, {false, false, true}).enabled);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_EDIT_MOVE_UP, {}));
    EXPECT_TRUE(Occupied(*editor, 100, 101, 100));
    EXPECT_FALSE(Occupied(*editor, 100, 100, 100));

    // Cut, Copy and Paste reach the clipboard through the shell, and the editor does nothing of them itself: a cut
    // deletes only once the shell has the copy.
    shell.run.clear();
    for (int command : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE})
        EXPECT_TRUE(RunMenuCommand(*editor, shell, command, {false, false, true}));
    EXPECT_EQ(shell.run, (std::vector<int>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}));
    EXPECT_EQ(editor->scene.liveCubeCount, 1);
    EXPECT_FALSE(editor->copyOriginKnown);
}

// What the page learns of its clipboard, in the order it learns it.
TEST(MenuCommands, PasteIsOfferedWhileThePageKnowsOfCubesOnTheClipboard) {
    ClipboardKnowledge known;
    const auto after = [&](EditorCommand command, ClipboardOutcome outcome) {
        known.Note(command, outcome);
        return known.HasCubes();
    };
    EXPECT_FALSE(known.HasCubes());
    EXPECT_FALSE(after(EditorCommand::Copy, ClipboardOutcome::Nothing));
    EXPECT_FALSE(after(EditorCommand::Copy, ClipboardOutcome::PutRefused));
    EXPECT_FALSE(after(EditorCommand::Paste, ClipboardOutcome::TakeRefused));
    EXPECT_TRUE(after(EditorCommand::Cut, ClipboardOutcome::Done));
    // A refused read, a copy of nothing and a refused copy leave the clipboard as it was known.
    EXPECT_TRUE(after(EditorCommand::Paste, ClipboardOutcome::TakeRefused));
    EXPECT_TRUE(after(EditorCommand::Copy, ClipboardOutcome::Nothing));
    EXPECT_TRUE(after(EditorCommand::Cut, ClipboardOutcome::PutRefused));
    // Text read that is no scene: another program's copy since.
    EXPECT_FALSE(after(EditorCommand::Paste, ClipboardOutcome::NotAScene));
    EXPECT_TRUE(after(EditorCommand::Copy, ClipboardOutcome::Done));
    EXPECT_FALSE(after(EditorCommand::Paste, ClipboardOutcome::NotAScene));
    // Cubes that the scene could not take are cubes on the clipboard all the same.
    EXPECT_TRUE(after(EditorCommand::Paste, ClipboardOutcome::TooMany));
    EXPECT_FALSE(after(EditorCommand::Paste, ClipboardOutcome::NotAScene));
    EXPECT_TRUE(after(EditorCommand::Paste, ClipboardOutcome::OutOfRange));
    EXPECT_FALSE(after(EditorCommand::Paste, ClipboardOutcome::NotAScene));
    EXPECT_TRUE(after(EditorCommand::Paste, ClipboardOutcome::Done));
}

// A key's press in the page: the command posted for it and whether the browser is kept from it.
TEST(MenuCommands, PageKeysPostTheProgramsShortcutsAndLeaveTheClipboardsToTheBrowser) {
    struct Case {
        int key;
        bool ctrl, shift, alt, repeat;
        int command;
        bool kept;
    };
    constexpr int kDelete = 0x2E, kPageUp = 0x21, kPageDown = 0x22, kR = 'R';
    const Case cases[] = {
        {'S', true, false, false, false, ID_FILE_SAVE, true},
        {'S', true, false, false, true, 0, true},  // a held Ctrl+S: once, and never the browser's save
        {'S', false, false, false, false, 0, false},
        {'S', true, true, false, false, 0, false},
        {'O', true, false, false, false, ID_FILE_OPEN, true},
        {'N', true, false, false, false, ID_FILE_NEW, true},
        {'A', true, false, false, false, ID_EDIT_SELECT_ALL, true},
        {'A', true, false, true, false, 0, false},  // AltGr on some keyboards
        {'C', true, false, false, false, 0, false},  // the browser's copy event carries the clipboard
        {'X', true, false, false, false, 0, false},
        {'V', true, false, false, false, 0, false},
        {'V', true, false, false, true, 0, false},
        {kDelete, false, false, false, false, ID_EDIT_DELETE, true},
        {kDelete, true, false, false, false, 0, false},
        {kKeyEscape, false, false, false, false, ID_EDIT_SELECT_NONE, true},
        {kR, false, false, false, false, ID_EDIT_TURN, true},
        {kR, false, false, false, true, 0, true},  // R held turns once
        {kR, true, false, false, false, 0, false},  // the browser's reload stays the browser's
        {kKeyLeft, false, true, false, false, ID_EDIT_MOVE_LEFT, true},
        {kKeyLeft, false, true, false, true, ID_EDIT_MOVE_LEFT, true},  // a held Shift+arrow moves on
        {kKeyRight, false, true, false, true, ID_EDIT_MOVE_RIGHT, true},
        {kKeyUp, false, true, false, false, ID_EDIT_MOVE_AWAY, true},
        {kKeyDown, false, true, false, false, ID_EDIT_MOVE_NEAR, true},
        {kPageUp, false, true, false, true, ID_EDIT_MOVE_UP, true},
        {kPageDown, false, true, false, false, ID_EDIT_MOVE_DOWN, true},
        {kPageDown, false, false, false, false, 0, false},
        {kKeyLeft, false, false, false, false, 0, true},  // the camera's, which would scroll the page
        {kKeyHome, false, false, false, false, 0, true},
        {kKeyZ, true, false, false, false, 0, true},  // Undo, read by the frame update
        {kKeyY, true, false, false, true, 0, true},
        {kKeyZ, false, false, false, false, 0, false},
        {0, true, false, false, false, 0, false},  // a key being composed
    };
    for (const Case& c : cases) {
        const PageKeyAction action = PageKeyActionOf(c.key, c.ctrl, c.shift, c.alt, c.repeat);
        EXPECT_EQ(action.commandId, c.command) << c.key << " ctrl " << c.ctrl << " shift " << c.shift << " repeat "
                                               << c.repeat;
        EXPECT_EQ(action.keepFromBrowser, c.kept) << c.key << " ctrl " << c.ctrl << " repeat " << c.repeat;
    }
}

TEST(MenuCommands, ViewItemsToggleThePanelsAndCarryTheirCheckMarks) {
    auto editor = std::make_unique<Editor>();
    RecordingMenuShell shell;
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, {}).checked);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_PAINT_WINDOW, {}));
    EXPECT_FALSE(editor->paintWindow.shown);
    EXPECT_FALSE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, {}).checked);
    EXPECT_TRUE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_STATUS_WINDOW, {}));
    EXPECT_FALSE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_VIEW_STATUS_WINDOW, {}));
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_STATUS_WINDOW, {}).checked);

    editor->camera.yaw = 1.0f;
    editor->camera.masterZoom = 50.0;
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_RESET_CAMERA, {}));
    EXPECT_EQ(editor->camera.yaw, kStartYaw);
    EXPECT_EQ(editor->camera.masterZoom, kStartMasterZoom);
    editor->ResetScene();
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_FRAME_MODEL, {}));
    EXPECT_LT(editor->camera.masterZoom, kStartMasterZoom);  // framed, not reset
    for (int axis = 0; axis < 3; ++axis) {  // each mirror item its own plane, checked as the editor has it
        EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_MIRROR_X + axis, {}));
        for (int other = 0; other < 3; ++other) {
            EXPECT_EQ(editor->mirror.on[other], other <= axis);
            EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_MIRROR_X + other, {}).checked, other <= axis);
        }
    }

    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_UNDO, {true, true, false}));
    EXPECT_TRUE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
    EXPECT_TRUE(RunMenuCommand(*editor, shell, ID_OPTIONS_REDO, {true, true, false}));
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
