// What the browser shell asks of the page around the canvas: its state, its boxes, dialogs and file pickers, its
// title and menu bar, its storage and downloads. The page side lives in page.js, dialogs.js and files.js.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editor_commands.h"
#include "text/texts.h"
#include "web/page_files.h"
#include "web/scene_keeper.h"
#include "web/settings_dialog.h"

// The page is shown, has the focus, and no menu or window of the page is open.
bool PageActive();
// The page is hidden (another tab, a minimized window): no frames are drawn.
bool PageHidden();
// The canvas's top-left corner in page pixels.
void CanvasOrigin(int32_t& left, int32_t& top);
// The size of the canvas's element in whole pixels.
void CanvasElementSize(int32_t& width, int32_t& height);
// A question titled TextId::ConfirmTitle with Yes and No; the frame waits for the answer.
bool PageAskYesNo(const char* utf8Text);
// A question titled TextId::ConfirmTitle with Yes, No and Cancel: 0, 1 or 2; the close box and Escape give
// Cancel.
int PageAskYesNoCancel(const char* utf8Text);
// A message titled TextId::ErrorTitle; the program waits until it is closed.
void PageShowError(const char* utf8Text);
void PageSetTitle(const char* utf8Title);
// The document's name as the title now shows it (empty when it has none): a file just read under that name, or
// saved under it, is the document's file from now on.
void PageDocumentNamed(const char* name);
void PageSetMenuItem(int commandId, bool enabled, bool checked);
// A line at the foot of the page telling of something missing or refused; the page works on.
void PageNotice(const char* utf8Text);
// The table of texts, handed to the page once as the program starts, for its own windows and menu bar.
void PagePublishTexts();
// The program's language for the page's words from now on: its menu bar is written again at once.
void PageSetLanguage(Language language);
// The language the page's address asks for: "en", "ja" or "".
void PageAddressLanguage(char* value, int capacity);
// A frame was drawn; the page counts them and notes the time of the first.
void PageFrameDrawn();
// Whether something that can change the picture or the editing happened in the page since the last call.
bool PageTakeWake();
// Waits until something happens in the page (at once when something did since PageTakeWake), or at most limitMs
// milliseconds when that is not negative.
void PageWaitForWake(int32_t limitMs);

// What the page's pickers and save dialog are for; Scene is the save dialog that offers the object file alone.
enum class PageFileKind { Object, Palette, Texture, Screenshot, Scene };
// The browser's file picker, filtered for kind; the file chosen is put in the user's folder (kUserDirectory) under
// its name, and its path comes back in name. False when the picker was closed without a file.
bool PagePickFile(PageFileKind kind, char* name, int capacity);
// The save dialog for kind (the system's save picker where the browser has one, else the page's own), proposing
// the name of the path in name, which takes the path chosen in the user's folder. False when cancelled.
bool PageChooseSaveName(PageFileKind kind, char* name, int capacity);
// Hands a finished file to the user: written into the file chosen for it or the document's own, else offered as a
// download (with copyRequired, a scene only once its copy is kept).
Delivery PageDeliverFile(const char* path, const uint8_t* data, size_t size, bool copyRequired);
// The command that picked or dropped a file is over: the file goes with no later save.
void PageFilesCommandOver();

// The next menu command, dropped file or pasted text the page has for the program, as the message loop takes them.
enum class PageMessage { None, Command, Drop, Paste };
// A command's id, or a dropped file's path in the user's folder; its bytes wait at heldAt until it is opened (an
// unreadable file leaves nothing there). A paste's text comes through PageTakePastedText.
PageMessage NextPageMessage(int& command, char* name, int capacity, const char* heldAt);
// The text of the paste message just taken; false when the paste event carried none.
bool PageTakePastedText(std::string& text);
// Posts a command for the loop, as choosing its menu item does; nothing while a window of the page is open.
void PagePostCommand(int commandId);

// The system's clipboard for the Edit menu, outside the page's copy and paste events: written through the
// browser's asynchronous clipboard, or where the browser refuses that, through the copy event a copy command raises;
// read through the asynchronous clipboard, which asks the browser's leave (false when it is not given).
class PageClipboard final : public Clipboard {
public:
    bool Put(const std::string& text) override;
    bool Take(std::string& text) override;
};

// The sample models' window: the file name of the sample chosen in name (found in kSampleDirectory), false when it
// was closed without one.
bool PageChooseSample(char* name, int capacity);
// The colour settings dialog with the two colours, which take the colours chosen; how it ended.
SettingsDialogEnd PageSettingsDialog(int32_t (&background)[3], int32_t (&wireframe)[3]);
void PageVersionDialog(const char* versionLine, const char* productKind);
// The help pages in a folder of the site ("help/", "help/en/") with their contents, in a window of their own.
void PageOpenHelp(const char* folder);

// Text kept in the page's local storage.
bool PageStorageGet(const char* name, std::string& value);
void PageStorageSet(const char* name, const char* value);
// Keeps the user's own palette and texture files the settings name (paths in the user's folder), so that the next
// start finds them; lets go of those this page kept and names no more.
void PageKeepSettingsFiles(const char* paletteName, const char* textureName);

// The unsaved scene's copy for this page (false when storage refused it); see files.js.
bool PageKeepScene(const std::string& objectText, const char* documentName);
void PageForgetScene();
// The copies left by pages that are gone, one at a time, newest first (see scene_keeper.h).
class PageKeptScenes final : public KeptSceneSource {
public:
    KeptSceneKind Next(const char* path, char (&name)[kPathCapacity]) override;
    void LetGo() override;
};

// An image file decoded by the browser into 0xAARRGGBB pixels, rows from the top. False when it cannot.
bool PageDecodeImage(const uint8_t* data, size_t size, int32_t& width, int32_t& height, std::vector<uint32_t>& pixels);
// A PNG file of 0xAARRGGBB pixels, made by the browser.
bool PageEncodePng(int32_t width, int32_t height, const uint32_t* pixels, std::vector<uint8_t>& out);
