// The Windows program's menu bar, built when the main window is made and again when the language changes: each
// menu's caption, then its items in order (a submenu's between its start and its end), with the state each starts in. The captions come from the table of texts, so the bar reads in the program's
// language.
#pragma once

#include <cstdint>

#include "resource_ids.h"
#include "text/texts.h"

struct MainMenuEntry {
    enum Kind : uint8_t { Menu, Item, Separator, SubMenu, SubMenuEnd };
    enum State : uint8_t { Enabled = 0, Grayed = 1, Checked = 2 };

    Kind kind;
    TextId text;        // a menu's caption or an item's; unused for a separator
    int commandId = 0;  // an item's
    uint8_t state = Enabled;
};

constexpr MainMenuEntry kMainMenu[] = {
    {MainMenuEntry::Menu, TextId::MenuFile},
    {MainMenuEntry::Item, TextId::MenuFileNew, ID_FILE_NEW},
    {MainMenuEntry::Item, TextId::MenuFileOpen, ID_FILE_OPEN},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuFileSave, ID_FILE_SAVE},
    {MainMenuEntry::Item, TextId::MenuFileSaveAs, ID_FILE_SAVE_AS},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuFileScreenshot, ID_FILE_SCREENSHOT},

    {MainMenuEntry::Menu, TextId::MenuEdit},
    {MainMenuEntry::Item, TextId::MenuEditCut, ID_EDIT_CUT, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditCopy, ID_EDIT_COPY, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditPaste, ID_EDIT_PASTE, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditDelete, ID_EDIT_DELETE, MainMenuEntry::Grayed},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuEditSelectAll, ID_EDIT_SELECT_ALL},
    {MainMenuEntry::Item, TextId::MenuEditSelectNone, ID_EDIT_SELECT_NONE, MainMenuEntry::Grayed},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuEditFlipX, ID_EDIT_FLIP_X, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditFlipY, ID_EDIT_FLIP_Y, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditFlipZ, ID_EDIT_FLIP_Z, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditTurn, ID_EDIT_TURN, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuEditPaint, ID_EDIT_PAINT, MainMenuEntry::Grayed},

    {MainMenuEntry::Menu, TextId::MenuOptions},
    {MainMenuEntry::Item, TextId::MenuOptionsUndo, ID_OPTIONS_UNDO, MainMenuEntry::Grayed},
    {MainMenuEntry::Item, TextId::MenuOptionsRedo, ID_OPTIONS_REDO, MainMenuEntry::Grayed},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuOptionsResetCamera, ID_OPTIONS_RESET_CAMERA},
    {MainMenuEntry::Item, TextId::MenuOptionsFrameModel, ID_OPTIONS_FRAME_MODEL},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuOptionsMirrorX, ID_OPTIONS_MIRROR_X},
    {MainMenuEntry::Item, TextId::MenuOptionsMirrorY, ID_OPTIONS_MIRROR_Y},
    {MainMenuEntry::Item, TextId::MenuOptionsMirrorZ, ID_OPTIONS_MIRROR_Z},
    {MainMenuEntry::Item, TextId::MenuOptionsMirrorCentre, ID_OPTIONS_MIRROR_CENTRE},
    {MainMenuEntry::Item, TextId::MenuOptionsMirrorFace, ID_OPTIONS_MIRROR_FACE},
    {MainMenuEntry::Separator, TextId::Count},
    {MainMenuEntry::Item, TextId::MenuOptionsSettings, ID_OPTIONS_SETTINGS},
    {MainMenuEntry::SubMenu, TextId::MenuOptionsLanguage},
    {MainMenuEntry::Item, TextId::MenuLanguageJapanese, ID_OPTIONS_LANGUAGE_JAPANESE},
    {MainMenuEntry::Item, TextId::MenuLanguageEnglish, ID_OPTIONS_LANGUAGE_ENGLISH},
    {MainMenuEntry::SubMenuEnd, TextId::Count},

    {MainMenuEntry::Menu, TextId::MenuView},
    {MainMenuEntry::Item, TextId::MenuViewPaintWindow, ID_VIEW_PAINT_WINDOW, MainMenuEntry::Checked},
    {MainMenuEntry::Item, TextId::MenuViewStatusWindow, ID_VIEW_STATUS_WINDOW, MainMenuEntry::Checked},

    {MainMenuEntry::Menu, TextId::MenuHelp},
    {MainMenuEntry::Item, TextId::MenuHelpHelp, ID_HELP_HELP},
    {MainMenuEntry::Item, TextId::MenuHelpVersion, ID_HELP_VERSION},
};
