// The document commands behind the main window: New, Open, Save, Save As, Screenshot, closing, dropped
// files, the paint window's palette and texture requests and the file named on the command line, with
// their save prompts, file dialogs, messages and window titles. The shell supplies the dialogs and boxes.
#pragma once

#include "editor/document/document.h"
#include "files/file_system.h"
#include "text/texts.h"

struct Editor;
struct Settings;
class IniStore;

// The save dialog of Save As offers every kind the program writes; the one the save question opens (SceneSave)
// only the object file, since the command that follows throws the scene away.
enum class FileDialog { ObjectSave, Screenshot, ObjectOpen, Palette, Texture, SceneSave };

class DocumentUi {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~DocumentUi() = default;
    // The save question (TextId::SaveChangesQuestion) with Yes, No and Cancel.
    virtual Answer AskSaveChanges() = 0;
    // A question titled TextId::ConfirmTitle with Yes and No.
    virtual bool AskYesNo(const char* utf8Text) = 0;
    // A message titled TextId::ErrorTitle with the exclamation icon.
    virtual void ShowError(const char* utf8Text) = 0;
    // Runs one of the six file dialogs; name proposes a file and takes the chosen one. False when cancelled.
    virtual bool ChooseFile(FileDialog dialog, bool save, char (&name)[kPathCapacity]) = 0;
    // "Blokkenveld", or "Blokkenveld - " and the path (in the system's code page) when one is given.
    virtual void SetTitle(const char* path) = 0;
};

// The file names the commands keep while the program runs; each dialog proposes the name chosen last in it.
struct Documents {
    char currentFileName[kPathCapacity] = {};  // the document's path; empty at start and after New
    char openFileName[kPathCapacity] = {};     // the open dialog's name; also takes a dropped file's path
    char screenshotFileName[kPathCapacity] = {};
    char paletteFileName[kPathCapacity] = {};
    char textureFileName[kPathCapacity] = {};
    bool saving = false;  // a save is running: a close request is refused
};

struct DocumentContext {
    Editor& editor;
    Documents& documents;
    DocumentUi& ui;
    FileSystem& files;
    AtlasLoader& atlas;
    IniStore& ini;
    Settings& settings;
    const char* programDirectory;  // ends in a separator
    PngEncoder* png = nullptr;     // the system's PNG encoder, for exports that carry the atlas
};

void CommandNew(DocumentContext& context);
void CommandOpen(DocumentContext& context);
void CommandSave(DocumentContext& context);
void CommandSaveAs(DocumentContext& context);
void CommandScreenshot(DocumentContext& context);
// The close box or Alt+F4: true when the window may be destroyed.
bool CommandClose(DocumentContext& context);
// A file dropped on the window (the first of them); false when the save question abandoned it.
bool CommandDrop(DocumentContext& context, const char* path);
void CommandPaletteLoad(DocumentContext& context);
void CommandPaletteSave(DocumentContext& context);
void CommandTextureLoad(DocumentContext& context);
// A sample model, after the save question: opened as a new unnamed scene, so that a Save asks for a name and never
// writes over the sample.
void CommandOpenSample(DocumentContext& context, const char* path);
// The file named on the command line, opened before the window is shown.
void OpenCommandLineFile(DocumentContext& context, const char* commandLine);
