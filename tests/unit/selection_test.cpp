// The selection's commands at their edges: what the random model test reaches only by chance (the add range's
// both ends on every axis, the array's size exactly, slots given back by an undo) and the keys and frames that
// choose.
#include <gtest/gtest.h>

#include "editor/editing/selection.h"
#include "editor/editing/tools.h"
#include "editor/editor_commands.h"
#include "fake_platform.h"
#include "files/object_file.h"

namespace {

void Undo(Editor& editor, bool redo = false) {
    (redo ? editor.undo.doRedo : editor.undo.doUndo) = true;
    UndoApplyStep(editor);
}

std::string Saved(const Editor& editor) {
    return ObjectFileText(editor.scene, "tex.bmp");
}

}  // namespace

// A move onto unselected cubes replaces them; its undo gives every cube back its slot, as a saved file shows, and
// its redo the moved scene again.
TEST(Selection, AMoveReplacesWhatItCoversAndItsUndoRestoresEverySlot) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    PlaceCube(editor.scene, 1, 101, 100, 100).colour = 0xFF0000FFu;  // selected with the start cube
    PlaceCube(editor.scene, 2, 102, 100, 100).colour = 0xFF00FF00u;  // covered by the move
    PlaceCube(editor.scene, 3, 103, 100, 100).colour = 0xFFFF0000u;
    editor.selection = {true, {{100, 100, 100}, {101, 100, 100}}};
    const std::string before = Saved(editor);
    ASSERT_TRUE(MoveSelection(editor, 0, 2));
    EXPECT_EQ(editor.scene.liveCubeCount, 2);
    EXPECT_EQ(editor.scene.cubes[1].x, 103.0f);
    EXPECT_TRUE(editor.scene.cubes[2].inUse == 0 && editor.scene.cubes[3].inUse == 0) << "both covered cubes go";
    EXPECT_TRUE(editor.selection.box.low == (Cell{102, 100, 100}));
    const std::string after = Saved(editor);
    Undo(editor);
    EXPECT_EQ(Saved(editor), before);
    Undo(editor, true);
    EXPECT_EQ(Saved(editor), after);
    EXPECT_EQ(editor.undo.depth, 1);
}

// Each axis, each end of the add range: a selection on the range's edge moves inwards but not out of it, and a
// refused move changes nothing and leaves no undo step.
TEST(Selection, AMoveThatWouldLeaveTheAddRangeIsRefusedOnEveryAxisAndEnd) {
    for (int axis = 0; axis < 3; ++axis) {
        for (int edge : {1, 198}) {
            EditorRig rig;
            rig.Frame();
            Editor& editor = *rig.editor;
            int at[3] = {100, 100, 100};
            at[axis] = edge;
            PlaceCube(editor.scene, 1, at[0], at[1], at[2]);
            const Cell cell{at[0], at[1], at[2]};
            editor.selection = {true, {cell, cell}};
            const int outwards = edge == 1 ? -1 : 1;
            EXPECT_FALSE(MoveSelection(editor, axis, outwards)) << axis << " " << edge;
            EXPECT_EQ(editor.undo.depth, 0);
            EXPECT_TRUE(editor.selection.box.low == cell);
            EXPECT_TRUE(MoveSelection(editor, axis, -outwards)) << axis << " " << edge;
        }
    }
}

// A paste that would make the scene hold 10,001 cubes is refused whole with the limit warning; one that makes it
// hold 10,000 is not. Pasted on a -x face, the block's highest x is the cell beside the face.
TEST(Selection, PastingStopsAtTheArraysSizeAndLandsBesideTheFacePointedAt) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    for (int32_t i = 1; i < kMaxCubes - 2; ++i)
        PlaceCube(editor.scene, i, 10 + i % 50, 10 + i / 50 % 50, 10 + i / 2500);
    const std::string three = "Blokkenveld\n1 0\n3\n5 5 5 ff0000ff\n6 5 5 ff0000ff\n5 7 6 ff0000ff\n";
    const PointedFace face{{100, 100, 100}, kSideMinusX};
    EXPECT_EQ(PasteText(editor, three, &face), PasteResult::TooMany);
    EXPECT_TRUE(editor.cannotCreate);
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes - 2);
    const std::string two = "Blokkenveld\n1 0\n2\n5 5 5 ff0000ff\n6 5 5 ff0000ff\n";
    EXPECT_EQ(PasteText(editor, two, &face), PasteResult::Pasted);
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes);
    EXPECT_FALSE(editor.cannotCreate);
    EXPECT_TRUE(editor.scene.Occupied(98, 100, 100) && editor.scene.Occupied(99, 100, 100));
    EXPECT_TRUE(editor.selection.box.low == (Cell{98, 100, 100}) && editor.selection.box.high == (Cell{99, 100, 100}));
    EXPECT_EQ(PasteText(editor, "Blokkenveld\n1 0\n1\n", nullptr), PasteResult::NotAScene);
    EXPECT_EQ(PasteText(editor, "not a scene", nullptr), PasteResult::NotAScene);
    // A scene larger than any the program holds is refused as too many, not as no scene: 10,001 cubes either way.
    editor.cannotCreate = false;
    EXPECT_EQ(PasteText(editor, "Blokkenveld\n1 0\n10001\n1 1 1 ff\n", nullptr), PasteResult::TooMany);
    EXPECT_TRUE(editor.cannotCreate);
    std::string split = "Blokkenveld\n1 1\n10000\n";
    for (int i = 0; i < kMaxCubes; ++i)
        split += std::to_string(i % 100) + " " + std::to_string(i / 100) + " 1 ff\n";
    EXPECT_EQ(PasteText(editor, split + "tex.bmp\n1\n0 0 2 0 0\n", nullptr), PasteResult::TooMany);
    EXPECT_EQ(PasteText(editor, split + "tex.bmp\nnone\n", nullptr), PasteResult::NotAScene) << "10,000 and broken";
    editor.StartNewScene();
    editor.ResetScene();
    EXPECT_EQ(PasteText(editor, split + "tex.bmp\n0\n", nullptr), PasteResult::Pasted) << "exactly 10,000 read";
    EXPECT_EQ(editor.scene.liveCubeCount, kMaxCubes - 199) << "x or y = 199 left out, the start cube covered";
}

// Ctrl + a drag from cube to cube selects their own cells, whatever the tool; Esc during the drag drops only the
// drag; Esc then clears the selection; New clears it too.
TEST(Selection, ACtrlDragSelectsTheCubesOwnCellsAndEscDropsTheDragFirst) {
    EditorRig rig;
    rig.flags.cursorX = 400;
    rig.flags.cursorY = 300;
    rig.Frame();
    Editor& editor = *rig.editor;
    editor.tool = EditTool::Add;
    rig.Hold(kKeyControl);
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
    ASSERT_TRUE(editor.selection.active);
    EXPECT_TRUE(editor.selection.box.low == (Cell{100, 100, 100}) &&
                editor.selection.box.high == (Cell{100, 100, 100}));
    EXPECT_EQ(editor.scene.liveCubeCount, 1) << "the press added nothing";
    editor.selection.box.high.x = 101;
    rig.Hold(kKeyLeftButton);
    rig.Frame();
    rig.Hold(kKeyEscape);
    ClearSelection(editor);  // the shortcut's command, as the shells run it
    rig.Frame();
    EXPECT_FALSE(editor.selectStroke.active);
    EXPECT_TRUE(editor.selection.active && editor.selection.box.high.x == 101) << "the selection stays";
    editor.box.active = true;  // a Shift box being dragged goes first as well
    ClearSelection(editor);
    EXPECT_TRUE(!editor.box.active && editor.selection.active);
    ClearSelection(editor);
    EXPECT_FALSE(editor.selection.active);
    SelectAll(editor);
    EXPECT_TRUE(editor.selection.active);
    editor.StartNewScene();
    EXPECT_FALSE(editor.selection.active);
}

// Left and Right follow the axis nearest the view's right, Up and Down the one nearest its forward direction, as
// the camera turns through the quarters.
TEST(Selection, TheArrowsMoveAlongTheAxesNearestTheView) {
    EditorRig rig;
    Editor& editor = *rig.editor;
    editor.camera.pitch = 0.5f;
    const struct {
        float yaw;  // the eye's direction from the target: (cos yaw, sin yaw) on x and z
        Move right, away;
    } cases[] = {
        {0.0f, {2, 1}, {0, -1}}, {1.5708f, {0, -1}, {2, -1}}, {3.1416f, {2, -1}, {0, 1}}, {-1.5708f, {0, 1}, {2, 1}}};
    for (const auto& c : cases) {
        editor.camera.yaw = c.yaw;
        const Move right = ArrowMove(editor, kKeyRight), left = ArrowMove(editor, kKeyLeft);
        const Move away = ArrowMove(editor, kKeyUp), near = ArrowMove(editor, kKeyDown);
        EXPECT_TRUE(right.axis == c.right.axis && right.step == c.right.step) << c.yaw;
        EXPECT_TRUE(left.axis == c.right.axis && left.step == -c.right.step) << c.yaw;
        EXPECT_TRUE(away.axis == c.away.axis && away.step == c.away.step) << c.yaw;
        EXPECT_TRUE(near.axis == c.away.axis && near.step == -c.away.step) << c.yaw;
    }
}

namespace {

// A clipboard that asks for the copy's text only when something pastes it, as the Windows program's does: owned
// while the program's copy is on it; another program's text may be put on it meanwhile.
class DelayedClipboard final : public Clipboard {
public:
    explicit DelayedClipboard(Editor& editor) : editor_(editor) {}
    bool Put(const std::string& text) override {
        owned = false;
        held = text;
        return true;
    }
    bool Take(std::string& text) override {
        ++takes;
        text = owned ? CopiedText(editor_) : held;
        return true;
    }
    bool PutCopy(Editor&) override {
        owned = true;
        return true;
    }
    bool HoldsOwnCopy() override { return owned; }

    bool owned = false;
    std::string held;
    int takes = 0;

private:
    Editor& editor_;
};

}  // namespace

// A copy keeps its cubes as they were copied: its text, made only when asked for, reads them so after the scene
// changed; a paste of the program's own copy needs no text; a copy of nothing and a cut leave the copy whole; and
// another program's text pastes as text.
TEST(Selection, ACopysTextIsMadeWhenAskedForFromTheCubesAsTheyWereCopied) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    DelayedClipboard clipboard(editor);
    editor.selection = {true, {{100, 100, 100}, {100, 100, 100}}};
    ASSERT_EQ(RunClipboardCommand(editor, EditorCommand::Copy, clipboard, "tex.bmp"), ClipboardOutcome::Done);
    EXPECT_FALSE(editor.copiedTextMade);
    editor.tool = EditTool::Paint;
    editor.currentColour = 0xFF0000FFu;
    PaintSelection(editor);
    editor.selection.active = false;
    EXPECT_EQ(RunClipboardCommand(editor, EditorCommand::Copy, clipboard, "other.bmp"), ClipboardOutcome::Nothing);
    const std::string white = "Blokkenveld\n1 0\n1\n0 0 0 ffffffff\n";
    std::string text;
    clipboard.Take(text);
    EXPECT_EQ(text, white);
    // Pasted on the cube's top face from the copy itself: no text asked for.
    clipboard.takes = 0;
    editor.viewCursorKnown = false;
    ASSERT_EQ(RunClipboardCommand(editor, EditorCommand::Paste, clipboard, "tex.bmp"), ClipboardOutcome::Done);
    EXPECT_EQ(clipboard.takes, 0);
    EXPECT_EQ(Saved(editor), "Blokkenveld\n1 0\n1\n100 100 100 ffffffff\n") << "back where it was copied from";
    // A cut of the pasted cube: the copy is the new one, the cube gone but for the scene's last.
    editor.selection = {true, {{100, 100, 100}, {100, 100, 100}}};
    ASSERT_EQ(RunClipboardCommand(editor, EditorCommand::Cut, clipboard, "tex.bmp"), ClipboardOutcome::Done);
    clipboard.Take(text);
    EXPECT_EQ(text, white);
    // Another program's text on the clipboard is read.
    clipboard.Put("Blokkenveld\n1 0\n1\n0 0 0 ff00ff00\n");
    clipboard.takes = 0;
    ASSERT_EQ(RunClipboardCommand(editor, EditorCommand::Paste, clipboard, "tex.bmp"), ClipboardOutcome::Done);
    EXPECT_EQ(clipboard.takes, 1);
    EXPECT_EQ(Saved(editor), "Blokkenveld\n1 0\n1\n100 100 100 ff00ff00\n");
}

// A copy whose box has empty cells around its cubes on both ends of every axis goes back, pointed at no cube, into
// the very cells it was copied from: the margins do not shift it.
TEST(Selection, ACopyPastedBackLandsInItsOwnCellsWhateverTheBoxsMargins) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    PlaceCube(editor.scene, 1, 103, 102, 105).colour = 0xFF0000FFu;
    editor.selection = {true, {{98, 99, 97}, {105, 104, 108}}};
    ASSERT_EQ(CopySelection(editor, "tex.bmp"), 2);
    editor.scene.grid[Scene::GridIndex(103, 102, 105)] = 0;
    editor.scene.cubes[1].inUse = 0;
    --editor.scene.liveCubeCount;
    ASSERT_EQ(PasteCopied(editor, nullptr), PasteResult::Pasted);
    EXPECT_EQ(editor.scene.liveCubeCount, 2);
    EXPECT_EQ(editor.scene.grid[Scene::GridIndex(103, 102, 105)], 1);
    EXPECT_EQ(editor.scene.grid[Scene::GridIndex(100, 100, 100)], 1);
    EXPECT_TRUE(editor.selection.box.low == (Cell{100, 100, 100}) &&
                editor.selection.box.high == (Cell{103, 102, 105}));
}
