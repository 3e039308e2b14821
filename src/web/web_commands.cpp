// The main window's side of the page: the menu commands, dropped files and pasted text the page posts, carried out
// between frames as the Windows program's loop dispatches its messages; the clipboard's commands; the paint window's
// file requests; the colour settings and version dialogs; help; what is kept when the page is left; a scene left
// unsaved offered back.
#include <emscripten.h>

#include "editor/document/help_file.h"
#include "editor_menu_items.h"
#include "resource_ids.h"
#include "text/texts.h"
#include "version.h"
#include "web/menu_commands.h"
#include "web/page.h"
#include "web/settings_dialog.h"
#include "web/shell.h"

namespace {


// The clipboard as the page's events have it: the text a paste event carried (given false when it carried none), or
// the text a copy event is to carry.
class HeldClipboard final : public Clipboard {
public:
    bool Put(const std::string& text) override {
        held = text;
        return true;
    }
    bool Take(std::string& text) override {
        text = held;
        return given;
    }

    std::string held;
    bool given = true;
};

// Cut, Copy or Paste through clipboard, telling the user what went wrong (readRefused when the clipboard could not
// be read).
void RunPageClipboardCommand(EditorCommand command, Clipboard& clipboard, const char* readRefused) {
    const ClipboardOutcome outcome = RunClipboardCommand(gEditor, command, clipboard, gSettings.textureName);
    gClipboardKnowledge.Note(command, outcome);
    const char* message = outcome == ClipboardOutcome::TakeRefused ? readRefused : ClipboardMessage(outcome);
    if (message != nullptr)
        PageShowError(message);
}

RgbSetting RgbOf(const int32_t (&rgb)[3]) {
    return RgbSetting{rgb[0], rgb[1], rgb[2]};
}

// While the dialog is open the view keeps the colours it opened with; how it ends decides what stays and is written.
void RunSettingsDialog() {
    BeginSettingsDialog(gSettings, gColourDialog);
    int32_t background[3] = {gSettings.background.red, gSettings.background.green, gSettings.background.blue};
    int32_t wireframe[3] = {gSettings.wireframe.red, gSettings.wireframe.green, gSettings.wireframe.blue};
    const SettingsDialogEnd end = PageSettingsDialog(background, wireframe);
    EndSettingsDialog(end, RgbOf(background), RgbOf(wireframe), SettingsStore(), gSettings, gColourDialog);
}

// The user's palette and texture files that the settings now name are kept for the next start.
void KeepSettingsFiles() {
    char palette[kPaletteNameCapacity];
    SettingsStore().GetString("PALETTE", gSettings.paletteName, palette, kPaletteNameCapacity);
    PageKeepSettingsFiles(palette, gSettings.textureName);
}

// The sample the page's window chooses: a model opened as a new unnamed scene; the picture among them opened as File >
// Open opens a bitmap (the save question, then the import), which the same path through a drop does.
void OpenSample() {
    char name[kPathCapacity];
    char path[kPathCapacity];
    if (!PageChooseSample(name, kPathCapacity) || !ResolvePath(name, kSampleDirectory, path))
        return;
    CopiesRequired question(gFiles);
    if (HasExtension(gFiles, path, ".bmp"))
        CommandDrop(Document(), path);
    else
        CommandOpenSample(Document(), path);
}

// Every word from now on in the language chosen, kept with the settings at once: the menu bar is written again, the
// panel's artwork of that language loaded, and the next frame's status strip reads the table in it.
void ChooseLanguage(Language language) {
    SetLanguage(language);
    gSettings.language = language;
    gSettings.languageChosen = true;
    WriteLanguageSetting(SettingsStore(), gSettings);
    PageSetLanguage(language);
    LoadPanelImage();
}

class PageMenuShell final : public MenuShell {
public:
    void RunShellCommand(int commandId) override {
        switch (commandId) {
            case ID_FILE_NEW: {
                CopiesRequired question(gFiles);
                CommandNew(Document());
                break;
            }
            case ID_FILE_OPEN: {
                CopiesRequired question(gFiles);
                CommandOpen(Document());
                break;
            }
            case ID_FILE_SAMPLES:
                OpenSample();
                break;
            case ID_FILE_SAVE:
                CommandSave(Document());
                break;
            case ID_FILE_SAVE_AS:
                CommandSaveAs(Document());
                break;
            case ID_FILE_SCREENSHOT:
                CommandScreenshot(Document());
                break;
            case ID_EDIT_CUT:
            case ID_EDIT_COPY:
            case ID_EDIT_PASTE: {
                PageClipboard clipboard;
                // The menu's Paste reads the clipboard only with the browser's leave; the paste event needs none.
                RunPageClipboardCommand(EditorMenuItemOf(commandId)->command, clipboard,
                                        TextOf(TextId::PasteWithKeys));
                break;
            }
            case ID_OPTIONS_SETTINGS:
                RunSettingsDialog();
                break;
            case ID_OPTIONS_LANGUAGE_JAPANESE:
                ChooseLanguage(Language::Japanese);
                break;
            case ID_OPTIONS_LANGUAGE_ENGLISH:
                ChooseLanguage(Language::English);
                break;
            case ID_HELP_HELP:
                PageOpenHelp(HelpSiteFolder(CurrentLanguage()));
                break;
            case ID_HELP_VERSION:
                PageVersionDialog(BLOKKENVELD_VERSION_LINE, TextOf(TextId::VersionNote));
                break;
            default:
                break;
        }
    }
};

PageMenuShell gMenuShell;

}  // namespace

ClipboardKnowledge gClipboardKnowledge;

void DispatchPageMessages() {
    int command = 0;
    char name[kPathCapacity];
    for (;;) {
        const PageMessage message = NextPageMessage(command, name, kPathCapacity, kHeldDropPath);
        if (message == PageMessage::None)
            return;
        if (message == PageMessage::Command) {
            bool undoEnabled = false, redoEnabled = false;
            UndoRedoItems(undoEnabled, redoEnabled);
            RunMenuCommand(gEditor, gMenuShell, command, undoEnabled, redoEnabled, gClipboardKnowledge.HasCubes());
        } else if (message == PageMessage::Paste) {
            HeldClipboard pasted;
            pasted.given = PageTakePastedText(pasted.held);
            RunPageClipboardCommand(EditorCommand::Paste, pasted, ClipboardMessage(ClipboardOutcome::TakeRefused));
        } else {
            gFiles.HoldForOpening(name, kHeldDropPath);
            {
                CopiesRequired question(gFiles);
                CommandDrop(Document(), name);
            }
            gFiles.ReleaseHeld();
        }
        PageFilesCommandOver();
        KeepUnkeptSaveUnsaved(gEditor, gDocuments, gFiles);
        SyncMenuBar();
    }
}

void OnMainWindowMessage(uint32_t message) {
    if (message == kPaletteLoadMessage)
        CommandPaletteLoad(Document());
    else if (message == kPaletteSaveMessage)
        CommandPaletteSave(Document());
    else if (message == kTextureLoadMessage)
        CommandTextureLoad(Document());
    else
        return;
    PageFilesCommandOver();
    KeepUnkeptSaveUnsaved(gEditor, gDocuments, gFiles);
    KeepSettingsFiles();
}

void OfferScenesLeftBehind() {
    PageKeptScenes kept;
    OfferKeptScenes(Document(), kept, kKeptScenePath);
    SyncMenuBar();
}

extern "C" {

// The page is being left or hidden: the settings the Windows program writes at exit, the files they name, and the
// unsaved scene as it is now.
EMSCRIPTEN_KEEPALIVE void WebPageLeaving() {
    WriteExitSettings(SettingsStore(), gSettings, gEditor);
    KeepSettingsFiles();
    gSceneKeeper.Flush(gEditor, gSettings.textureName, gDocuments.currentFileName);
}

// A copy or cut event of the page: the selection's cubes as the clipboard's text, empty when none is selected. A
// cut's delete is posted, to be carried out by the loop as one step, as the menu's Delete.
EMSCRIPTEN_KEEPALIVE const char* WebClipboardCopy(int cut) {
    static HeldClipboard copied;
    copied.held.clear();
    const ClipboardOutcome outcome = RunClipboardCommand(gEditor, EditorCommand::Copy, copied, gSettings.textureName);
    gClipboardKnowledge.Note(EditorCommand::Copy, outcome);
    if (outcome == ClipboardOutcome::Done && cut != 0)
        PagePostCommand(ID_EDIT_DELETE);
    return copied.held.c_str();
}

// Whether leaving the page would lose changes.
EMSCRIPTEN_KEEPALIVE int WebDocumentModified() {
    return gEditor.modified ? 1 : 0;
}

}  // extern "C"
