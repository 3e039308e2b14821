// The menu bar of the browser build: the state each item shows, which of the program's commands the editor carries
// out itself and which go to the shell (the document commands, the clipboard, the dialogs, help), and the keys that
// stand for them in the page. Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>

#include "editor/editor_commands.h"
#include "resource_ids.h"

struct Editor;

struct MenuItemState {
    bool enabled = false;
    bool checked = false;
};

// Every command of the menu bar, in menu order.
// clang-format off
constexpr int kMenuCommands[] = {
    ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAMPLES, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_SCREENSHOT,
    ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_DELETE, ID_EDIT_SELECT_ALL, ID_EDIT_SELECT_NONE,
    ID_EDIT_FLIP_X, ID_EDIT_FLIP_Y, ID_EDIT_FLIP_Z, ID_EDIT_TURN, ID_EDIT_PAINT,
    ID_OPTIONS_UNDO, ID_OPTIONS_REDO, ID_OPTIONS_RESET_CAMERA, ID_OPTIONS_FRAME_MODEL,
    ID_OPTIONS_MIRROR_X, ID_OPTIONS_MIRROR_Y, ID_OPTIONS_MIRROR_Z, ID_OPTIONS_MIRROR_CENTRE, ID_OPTIONS_MIRROR_FACE,
    ID_OPTIONS_SETTINGS, ID_OPTIONS_LANGUAGE_JAPANESE, ID_OPTIONS_LANGUAGE_ENGLISH,
    ID_VIEW_PAINT_WINDOW, ID_VIEW_STATUS_WINDOW,
    ID_HELP_HELP, ID_HELP_VERSION};
// clang-format on
constexpr int kMenuCommandCount = sizeof(kMenuCommands) / sizeof(kMenuCommands[0]);

// What the shell does for a command: New, Open, the samples, Save, Save As, Screenshot, Cut, Copy and Paste (through
// the page's clipboard), Settings, the languages, Help and Version.
class MenuShell {
public:
    virtual ~MenuShell() = default;
    virtual void RunShellCommand(int commandId) = 0;
};

// The state a command's item shows for the editor as it is, as in the Windows program: Undo and Redo follow what
// the frame update last enabled (undoEnabled, redoEnabled), Paste whether the page knows of cubes on the clipboard
// (clipboardHasCubes, from ClipboardKnowledge), the Edit items on the selection what the editor offers; every other
// item is offered. The View items carry a check mark while their panel is shown, the mirror items while their plane
// is switched on, a language's item while it is the program's.
MenuItemState MenuStateOf(const Editor& editor,
                          int commandId,
                          bool undoEnabled,
                          bool redoEnabled,
                          bool clipboardHasCubes = false);

// Carries out a chosen command, the shell's through shell; false, doing nothing, when its item is greyed or the
// command is unknown. The moves of the selection have no item but are carried out as the keys post them.
bool RunMenuCommand(Editor& editor,
                    MenuShell& shell,
                    int commandId,
                    bool undoEnabled,
                    bool redoEnabled,
                    bool clipboardHasCubes = false);

// Whether the page's clipboard holds cubes, as far as the page can know without reading it: reading it needs the
// browser's leave, which the page asks for only when the user pastes from the menu. So it learns from its own
// clipboard commands: a copy or cut that put cubes there, and every paste that read the clipboard's text, scene or
// not. What another program puts there afterwards shows at the next paste.
class ClipboardKnowledge {
public:
    // A clipboard command (Cut, Copy or Paste, from the menu or the page's events) ended with outcome.
    void Note(EditorCommand command, ClipboardOutcome outcome);
    bool HasCubes() const { return hasCubes_; }

private:
    bool hasCubes_ = false;
};

// What a key pressed in the page does: the command posted as its menu item would be (0 for none), and whether the
// browser must not act on the key too.
struct PageKeyAction {
    int commandId;
    bool keepFromBrowser;
};
// The program's shortcuts, as in the Windows program (a held key repeats only the moves), with two differences: Cut,
// Copy and Paste are left to the browser, whose copy, cut and paste events carry the clipboard's text, and every
// other shortcut is kept from the browser even on a repeat, so that a held Ctrl+S or Ctrl+O never reaches the
// browser's own dialogs. The keys the frame update reads (the arrows, Home, Ctrl+Z and Ctrl+Y) are kept too.
PageKeyAction PageKeyActionOf(int virtualKey, bool ctrl, bool shift, bool alt, bool repeat);
