// Work on a part of the model: the selection, a box of cells whose cubes the Edit menu's commands act on (delete,
// paint, move, flip, turn), and the clipboard's scene text of those cubes, out and back in. Mirroring never applies:
// the commands act on what was chosen. Each command that changes cubes is one undo step; choosing is none.
#pragma once

#include <cstdint>
#include <string>

#include "editor/editing/mirror.h"

struct Editor;

struct Selection {
    bool active = false;
    CellBox box{};  // what it holds are the in-use cubes inside
};

// A Ctrl drag in the view: from the cube under the press to the cube under the cursor, both their own cells.
struct SelectStroke {
    bool active = false;
    Cell from{};
    Cell to{};
};

// The cubes the selection holds; 0 without one.
int32_t SelectedCount(const Editor& editor);
// The box around every cube of the scene.
void SelectAll(Editor& editor);
// Esc: a drag in progress (a Ctrl drag or a Shift box) is dropped and the selection stays; else the selection goes.
void ClearSelection(Editor& editor);

// The selected cubes go (the last cube of the scene never: by the rule of a delete box, the one in the highest slot
// stays). False when there was nothing to delete.
bool DeleteSelection(Editor& editor);
// Every selected cube takes the current colour or texture cell, as Paint gives it.
bool PaintSelection(Editor& editor);

// A move of the selected cubes, with the selection, by step cells along axis (0 x, 1 y, 2 z); a flip across the
// selection's middle along axis; a quarter turn about the vertical line through its middle, clockwise seen from
// above (x to -z). Cubes already in the cells taken that are not selected are replaced. Refused whole, changing
// nothing, when a cube would leave the add range; false then, and when nothing is selected.
bool MoveSelection(Editor& editor, int axis, int step);
bool FlipSelection(Editor& editor, int axis);
bool TurnSelection(Editor& editor);

// The axis and direction a move takes for the arrow keys as the camera looks: Left and Right along the world axis
// nearest the view's right, Up and Down along the one nearest its forward direction on the ground.
struct Move {
    int axis;
    int step;
};
Move ArrowMove(const Editor& editor, int virtualKey);

// The selected cubes kept as the last copy, their positions from the selection's lowest corner, textured ones naming
// textureName, and the corner, for a paste that points at no cube; their count. With nothing selected, 0, and the
// last copy stays as it was. The copy's clipboard text is made only when asked for.
int32_t CopySelection(Editor& editor, const char* textureName);
// The last copy as the clipboard's text: a scene file of its cubes as they were copied, whatever the scene did since.
// Made once per copy, the first time it is asked for; empty when nothing was copied.
const std::string& CopiedText(Editor& editor);

enum class PasteResult {
    Pasted,
    NotAScene,   // the text is no scene file, or holds no cube
    TooMany,     // the scene would hold more than kMaxCubes: refused whole, with the limit warning
    OutOfRange,  // every cube would lie outside the add range
};
// Pastes a scene text: with a cube's face pointed at, the block of its cubes lands on that
// face's outer side, its lowest cells on the other two axes those of the cube; else its lowest corner goes where the
// last copy was made from (the start cube's cell when this program made none). Pasted cubes give their looks to the
// cubes already in their cells, cells outside the add range are left out, and the pasted block becomes the
// selection. One undo step. A textured cube keeps its atlas cell, whatever atlas the text names.
struct PointedFace {
    Cell cube;
    int side;
};
PasteResult PasteText(Editor& editor, const std::string& text, const PointedFace* face);
// The same for the last copy, without its text.
PasteResult PasteCopied(Editor& editor, const PointedFace* face);
