// The browser shell's globals: the editor, its flags and settings, the renderer and the page's input, the files
// and document names, and the document services the editor's commands reach the page through.
#pragma once

#include "editor/document/document_commands.h"
#include "editor/editor.h"
#include "editor/platform.h"
#include "editor/document/settings.h"
#include "files/file_system.h"
#include "render/webgl/webgl_renderer.h"
#include "web/browser_input.h"
#include "web/menu_commands.h"
#include "web/page_files.h"
#include "web/scene_keeper.h"
#include "web/storage_ini.h"
#include "web/touch_input.h"

extern Editor gEditor;
extern ShellFlags gShellFlags;
extern Settings gSettings;
extern ColourDialogState gColourDialog;
extern WebGlRenderer gRenderer;
extern PageFileSystem gFiles;
extern Documents gDocuments;
extern SceneKeeper gSceneKeeper;
extern BrowserInput gInput;
// Fingers on the canvas, made into gInput's buttons and pointer.
extern TouchInput gTouch;
extern ClipboardKnowledge gClipboardKnowledge;  // for the Paste item

// The program directory of the page's file system, where the artwork lies; ends in a separator.
constexpr char kProgramDirectory[] = "/";
// Where the user's own files lie: those picked, dropped, saved and kept. Apart from the artwork, so that a user's
// tex.bmp or panel.bmp never takes the place of the program's.
constexpr char kUserDirectory[] = "/user/";
// The sample models that come with the page.
constexpr char kSampleDirectory[] = "/samples/";
// Where a dropped file waits, apart from the user's folder, until its save question is answered.
constexpr char kHeldDropPath[] = "/tmp/dropped";

// Listens to the page's keys, buttons, pointer, wheel, focus and size (fingers come through WebTouchDown and the rest).
void InstallInputCallbacks();
// What happened in the page since the last pass wakes the editor's frames, as every message wakes the Windows
// program's.
void WakeOnPageEvents();
// One idle pass: the shell flags from the page, then a frame update when the editor has one due and the page takes
// frames.
void IdlePass();
// Waits for the page to wake the loop unless a frame is due (see frame_pacing.h).
void RestUntilWoken();
// Draws and presents one frame with the colours the getters give.
void DrawMainWindowFrame();
// The canvas to its element's size and everything that follows the client size; true when the size changed.
bool FollowCanvasSize();
// The paint window's artwork of the program's language on the context; false when no panel can be made.
bool LoadPanelImage();
// The menu bar's items as the editor and the last frame left them.
void SyncMenuBar();
// The Undo and Redo items as the frame update last left them.
void UndoRedoItems(bool& undoEnabled, bool& redoEnabled);
// The menu commands and dropped files the page has posted, each carried out before the next idle pass.
void DispatchPageMessages();
// The paint window's palette and texture requests (kPaletteLoadMessage, ...), handled before they return.
void OnMainWindowMessage(uint32_t message);
// At start: the scenes left by pages that are gone are offered back.
void OfferScenesLeftBehind();

// The document commands with the page's boxes and title.
DocumentContext& Document();
// The atlas from a file of the page's file system.
AtlasLoader& Atlas();
// The settings as the page keeps them.
IniStore& SettingsStore();
