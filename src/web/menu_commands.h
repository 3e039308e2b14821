// The menu bar of the browser build: which of the program's commands it carries out, what they do to the editor,
// and the state each item shows. Plain C++: the unit tests drive it natively.
#pragma once

#include <cstdint>

struct Editor;

struct MenuItemState {
    bool enabled = false;
    bool checked = false;
};

// Every command of the menu bar, in menu order.
constexpr int kMenuCommands[] = {40002, 40001, 40005, 40004, 40006, 40012, 40013,
                                 40007, 40011, 40008, 40009, 40014, 40010};
constexpr int kMenuCommandCount = sizeof(kMenuCommands) / sizeof(kMenuCommands[0]);

// The state a command's item shows for the editor as it is. Undo and Redo follow what the frame update last
// enabled (undoEnabled, redoEnabled); the View items carry a check mark while their panel is shown; the file,
// settings and help commands are not offered in this build and stay greyed.
MenuItemState MenuStateOf(const Editor& editor, int commandId, bool undoEnabled, bool redoEnabled);

// Carries out a chosen command; false, doing nothing, when its item is greyed or the command is unknown.
bool RunMenuCommand(Editor& editor, int commandId, bool undoEnabled, bool redoEnabled);
