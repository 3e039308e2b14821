// The menu bar of the browser build: the state each item shows, and which of the program's commands the editor
// carries out itself and which go to the shell (the document commands, the dialogs, help). Plain C++: the unit
// tests drive it natively.
#pragma once

#include <cstdint>

struct Editor;

struct MenuItemState {
    bool enabled = false;
    bool checked = false;
};

// Every command of the menu bar, in menu order.
constexpr int kMenuCommands[] = {40002, 40001, 40015, 40005, 40004, 40006, 40012, 40013, 40007, 40016,
                                 40017, 40018, 40019, 40020, 40021, 40011, 40008, 40009, 40014, 40010};
constexpr int kMenuCommandCount = sizeof(kMenuCommands) / sizeof(kMenuCommands[0]);

// What the shell does for a command: New, Open, the samples, Save, Save As, Screenshot, Settings, Help and Version.
class MenuShell {
public:
    virtual ~MenuShell() = default;
    virtual void RunShellCommand(int commandId) = 0;
};

// The state a command's item shows for the editor as it is, as in the Windows program: every item is offered but
// Undo and Redo, which follow what the frame update last enabled (undoEnabled, redoEnabled); the View items carry a
// check mark while their panel is shown, the mirror items while their plane is switched on.
MenuItemState MenuStateOf(const Editor& editor, int commandId, bool undoEnabled, bool redoEnabled);

// Carries out a chosen command, the shell's through shell; false, doing nothing, when its item is greyed or the
// command is unknown.
bool RunMenuCommand(Editor& editor, MenuShell& shell, int commandId, bool undoEnabled, bool redoEnabled);
