// The commands the editor carries out itself, shared by both shells' menus and the keys that stand for them: the
// Options menu's view and mirror commands and the Edit menu's, on the selection and through the clipboard.
#pragma once

#include <cstdint>
#include <string>

struct Editor;

enum class EditorCommand {
    ResetCamera,  // the camera's start values
    FrameModel,   // every cube in view (Home)
    MirrorX,      // mirroring in the X, Y or Z plane on or off
    MirrorY,
    MirrorZ,
    MirrorCentre,  // every plane through the middle of the cube pointed at (M)
    MirrorFace,    // the plane of the face pointed at laid on that face (N)
    Cut,           // the clipboard's: copy, then delete, the selected cubes
    Copy,
    Paste,
    DeleteSelection,
    SelectAll,
    SelectNone,  // Esc: a drag in progress goes first
    FlipX,       // across the selection's middle along an axis
    FlipY,
    FlipZ,
    Turn,            // a quarter turn about the vertical, clockwise from above (R)
    PaintSelection,  // the current colour or texture cell on every selected cube
    MoveLeft,        // Shift + an arrow: one cell along the ground axis nearest the view's right or forward
    MoveRight,
    MoveAway,
    MoveNear,
    MoveUp,  // Shift + Page Up and Page Down: one cell along y
    MoveDown,
};

// Carries out a command. The ones that point at a cube take the one under client point (x, y), and do nothing where
// there is none. The clipboard's commands go through RunClipboardCommand.
void RunEditorCommand(Editor& editor, EditorCommand command, int32_t x, int32_t y);
// The same from a menu or a key: what points at a cube takes the one under the cursor where it last was over the
// view.
void RunEditorMenuCommand(Editor& editor, EditorCommand command);
// A scene just opened is framed as Home frames it, unless it already lies wholly in view as the camera stands (the
// start scene and small models keep the camera). Once per opened scene.
void FrameOpenedModel(Editor& editor);
// Whether the command's item carries a check mark (the mirror switches that are on).
bool EditorCommandChecked(const Editor& editor, EditorCommand command);
// Whether the command's item is offered: the selection's need one, Paste a clipboard with cubes (clipboardHasCubes,
// as the shell found it).
bool EditorCommandEnabled(const Editor& editor, EditorCommand command, bool clipboardHasCubes);

// The system's clipboard as the shells reach it.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // False when the system refused the text.
    virtual bool Put(const std::string& text) = 0;
    // False when the clipboard holds no text or the system refused to give it.
    virtual bool Take(std::string& text) = 0;
    // The editor's last copy onto the clipboard: by default its text at once; a clipboard that can ask for the text
    // when something pastes it takes the copy alone (CopiedText makes the text then). False when refused.
    virtual bool PutCopy(Editor& editor);
    // Whether the clipboard still holds the program's own last copy, which then pastes without its text.
    virtual bool HoldsOwnCopy() { return false; }
};

enum class ClipboardOutcome {
    Done,
    Nothing,     // no cube selected: nothing to copy or cut
    PutRefused,  // the system would not take the copy: a cut deletes nothing
    TakeRefused,
    NotAScene,   // the clipboard's text is no scene of cubes
    TooMany,     // the scene would hold more than 10,000 cubes
    OutOfRange,  // every pasted cube would lie outside the add range
};
// Cut, Copy or Paste: the selection's cubes as scene text onto the clipboard (textured ones naming textureName),
// a cut deleting them in the same step; or the clipboard's scene text pasted at the face under the cursor where it
// last was over the view.
ClipboardOutcome RunClipboardCommand(Editor& editor,
                                     EditorCommand command,
                                     Clipboard& clipboard,
                                     const char* textureName);
// The message an outcome tells the user, or null for one that needs none.
const char* ClipboardMessage(ClipboardOutcome outcome);
