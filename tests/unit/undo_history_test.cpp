#include <gtest/gtest.h>

#include "fake_platform.h"

namespace {

// Records an add of a cube at (x, 100, 100) into slot, as the Add tool would after placing it.
void AddCube(Editor& editor, int slot, int x) {
    Scene& scene = editor.scene;
    CubeRecord& cube = scene.cubes[slot];
    cube = CubeRecord{};
    cube.x = static_cast<float>(x);
    cube.y = cube.z = 100.0f;
    cube.inUse = 1;
    cube.colour = 0xFF112233;
    scene.grid[Scene::GridIndex(x, 100, 100)] = 1;
    scene.highestUsedSlot = slot > scene.highestUsedSlot ? slot : scene.highestUsedSlot;
    ++scene.liveCubeCount;
    UndoEntry entry{};
    entry.slot = slot;
    entry.x = cube.x;
    entry.y = cube.y;
    entry.z = cube.z;
    entry.colourBefore = cube.colour;
    RecordEdit(editor.undo, kUndoAdd, entry);
}

// Through the menu, as the Undo and Redo commands reach the editor: a menu takes more than a
// frame to use, so at least one frame without a request follows each.
void Undo(EditorRig& rig) {
    rig.editor->undo.undoRequest = true;
    rig.Frame();
    rig.Frame();
}

void Redo(EditorRig& rig) {
    rig.editor->undo.redoRequest = true;
    rig.Frame();
    rig.Frame();
}

}  // namespace

// Ctrl+Y redoes on its own press, only with Ctrl; Z pressed meanwhile waits (Ctrl, Z, Y, Z and Y before, load).
TEST(UndoHistory, CtrlYRedoesOnItsPressOnly) {
    UndoHistory history;
    history.undoAvailable = history.redoAvailable = true;
    UndoTriggerStep(history, true, false, true, false, true, false);
    UndoTriggerStep(history, false, false, true, false, false, false);
    EXPECT_FALSE(history.doRedo);
    UndoTriggerStep(history, true, false, true, false, false, false);
    UndoTriggerStep(history, true, true, true, false, true, false);
    EXPECT_TRUE(history.doRedo && !history.doUndo);
}

TEST(UndoHistory, RingKeepsTheLastHundredEdits) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    for (int i = 1; i <= 150; ++i)
        AddCube(editor, i, i % 2 == 0 ? 100 + i / 2 : 100 - (i + 1) / 2);
    EXPECT_EQ(editor.undo.depth, 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(editor.undo.undoAvailable) << i;
        Undo(rig);
    }
    EXPECT_FALSE(editor.undo.undoAvailable);
    EXPECT_EQ(editor.scene.liveCubeCount, 51);
    Undo(rig);  // the 101st is refused
    EXPECT_EQ(editor.scene.liveCubeCount, 51);
    // Every undone add freed its slot and its cell; the older 50 remain.
    for (int i = 1; i <= 150; ++i)
        EXPECT_EQ(editor.scene.cubes[i].inUse, i <= 50 ? 1 : 0) << i;
    EXPECT_EQ(editor.scene.highestUsedSlot, 150);  // undo leaves holes, never shrinks the range

    for (int i = 0; i < 100; ++i)
        Redo(rig);
    EXPECT_FALSE(editor.undo.redoAvailable);
    EXPECT_EQ(editor.scene.liveCubeCount, 151);
    EXPECT_EQ(editor.undo.depth, 100);
}

TEST(UndoHistory, NewEditDiscardsWhatCouldBeRedone) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    AddCube(editor, 1, 101);
    AddCube(editor, 2, 102);
    Undo(rig);
    EXPECT_TRUE(editor.undo.redoAvailable);
    AddCube(editor, 3, 103);
    EXPECT_FALSE(editor.undo.redoAvailable);
    Redo(rig);
    EXPECT_EQ(editor.scene.cubes[2].inUse, 0);
    Undo(rig);
    EXPECT_EQ(editor.scene.cubes[3].inUse, 0);
    EXPECT_EQ(editor.scene.cubes[1].inUse, 1);
}

TEST(UndoHistory, PaintUndoGivesBackTextureOrColour) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    CubeRecord& cube = editor.scene.cubes[0];
    // A textured cube painted with a colour...
    cube.textured = 1;
    cube.cellColumn = 3;
    cube.cellRow = 4;
    UndoEntry entry{};
    entry.colourBefore = kWhite;
    entry.texturedBefore = 1;
    entry.cellColumnBefore = 3;
    entry.cellRowBefore = 4;
    entry.colourAfter = 0xFF00FF00;
    entry.texturedAfter = 0;
    cube.textured = 0;
    cube.colour = 0xFF00FF00;
    cube.cellColumn = cube.cellRow = 0;
    RecordEdit(editor.undo, kUndoPaint, entry);
    Undo(rig);
    EXPECT_EQ(cube.textured, 1);
    EXPECT_EQ(cube.colour, kWhite);
    EXPECT_EQ(cube.cellColumn, 3);
    EXPECT_EQ(cube.cellRow, 4);
    Redo(rig);
    EXPECT_EQ(cube.textured, 0);
    EXPECT_EQ(cube.colour, 0xFF00FF00u);
    EXPECT_EQ(cube.cellColumn, 3);  // a colour paint leaves the cell fields alone
}

// An undone or redone edit changes the scene as the edit did: after a save it must count as changed again.
TEST(UndoHistory, UndoAndRedoMarkTheSceneModifiedButARefusedOneDoesNot) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    AddCube(editor, 1, 101);
    editor.modified = false;  // saved
    Undo(rig);
    EXPECT_TRUE(editor.modified);
    editor.modified = false;
    Redo(rig);
    EXPECT_TRUE(editor.modified);
    editor.modified = false;
    Redo(rig);  // nothing left to redo
    EXPECT_FALSE(editor.modified);
}

// A deleted cube comes back whole even when its slot held something else in between.
TEST(UndoHistory, UndoOfADeleteRestoresEveryFieldOfItsSlot) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    CubeRecord& cube = PlaceCube(editor.scene, 1, 101, 102, 103);
    cube.textured = 1;
    cube.cellColumn = 6;
    cube.cellRow = 5;
    const CubeRecord original = cube;
    UndoEntry entry{};
    entry.slot = 1;
    entry.x = cube.x;
    entry.y = cube.y;
    entry.z = cube.z;
    entry.colourBefore = cube.colour;
    entry.texturedBefore = 1;
    entry.cellColumnBefore = 6;
    entry.cellRowBefore = 5;
    cube.inUse = 0;
    editor.scene.grid[Scene::GridIndex(101, 102, 103)] = 0;
    --editor.scene.liveCubeCount;
    RecordEdit(editor.undo, kUndoDelete, entry);
    cube = CubeRecord{7, 8, 9, 0, 0, 1, 2, 0xFF123456, {}};  // what a later use of the slot left in it
    Undo(rig);
    EXPECT_EQ(cube.x, original.x);
    EXPECT_EQ(cube.y, original.y);
    EXPECT_EQ(cube.z, original.z);
    EXPECT_EQ(cube.inUse, 1);
    EXPECT_EQ(cube.textured, 1);
    EXPECT_EQ(cube.cellColumn, 6);
    EXPECT_EQ(cube.cellRow, 5);
    EXPECT_EQ(cube.colour, kWhite);
    EXPECT_EQ(editor.scene.grid[Scene::GridIndex(101, 102, 103)], 1);
    EXPECT_EQ(editor.scene.liveCubeCount, 2);
}

// Three actions of 10,000 paints fill the ring to its very end: the next edit wraps to its start, after an undo and a
// redo too, and the action after them pushes out the oldest alone, whose colour then cannot come back.
TEST(UndoHistory, AnActionEndingAtTheRingsEndWrapsTheNextToItsStart) {
    EditorRig rig;
    rig.Frame();
    Editor& editor = *rig.editor;
    UndoHistory& undo = editor.undo;
    const auto paintAction = [&](uint32_t before, uint32_t after, int edits) {
        BeginAction(undo);
        for (int i = 0; i < edits; ++i) {
            UndoEntry entry{};
            entry.colourBefore = before;
            entry.colourAfter = after;
            RecordEdit(undo, kUndoPaint, entry);
        }
        EndAction(undo);
        editor.scene.cubes[0].colour = after;
    };
    for (uint32_t colour = 1; colour <= 3; ++colour)
        paintAction(colour, colour + 1, kMaxCubes);
    EXPECT_EQ(undo.nextEdit, 0);
    EXPECT_EQ(undo.keptEdits, kUndoEditCapacity);
    Undo(rig);
    EXPECT_EQ(undo.nextEdit, 2 * kMaxCubes);
    EXPECT_EQ(editor.scene.cubes[0].colour, 3u);
    Redo(rig);
    EXPECT_EQ(undo.nextEdit, 0);
    EXPECT_EQ(editor.scene.cubes[0].colour, 4u);
    paintAction(4, 5, 1);
    EXPECT_EQ(undo.actionFirst[3], 0);
    EXPECT_EQ(undo.depth, 3);
    for (int i = 0; i < 4; ++i)
        Undo(rig);
    EXPECT_EQ(editor.scene.cubes[0].colour, 2u) << "the first action was the one pushed out";
}
