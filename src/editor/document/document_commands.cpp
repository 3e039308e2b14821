#include "editor/document/document_commands.h"

#include <cstring>
#include <string>
#include <vector>

#include "editor/document/command_line.h"
#include "editor/editor.h"
#include "editor/panels/paint_window.h"
#include "editor/document/settings.h"
#include "files/palette_file.h"
#include "text/texts.h"

namespace {

// Asked before an export replaces files of the same name beside it, naming the kinds that are there (the names
// are in the system's code page, the question in UTF-8). No abandons the save without a word.
class AskBeforeReplacing final : public CompanionCheck {
public:
    explicit AskBeforeReplacing(DocumentUi& ui) : ui_(ui) {}
    bool MayReplace(const std::vector<std::string>& existing) override {
        std::string question = TextOf(TextId::ReplaceQuestionStart);
        for (size_t i = 0; i < existing.size(); ++i) {
            const size_t dot = existing[i].rfind('.');
            question += i > 0 ? TextOf(TextId::ReplaceQuestionJoin) : "";
            question += dot == std::string::npos ? existing[i] : existing[i].substr(dot);
        }
        question += TextOf(TextId::ReplaceQuestionEnd);
        declined_ = !ui_.AskYesNo(question.c_str());
        return !declined_;
    }
    bool Declined() const { return declined_; }

private:
    DocumentUi& ui_;
    bool declined_ = false;
};

// Saves through the dispatcher with the saving flag raised; a failure is reported, and the caller must not
// go on as if the scene were safe. A save the user abandoned is no failure and is not reported.
bool Save(DocumentContext& c, const char* path) {
    AskBeforeReplacing companions(c.ui);
    c.documents.saving = true;
    const bool saved = SaveScene(c.editor, c.files, path, c.settings.textureName, c.png, &companions);
    c.documents.saving = false;
    if (!saved && !companions.Declined())
        c.ui.ShowError(TextOf(TextId::SaveFailed));
    return saved;
}

// A save dialog, then a save under the chosen name. Only an object file saved under it becomes the document's
// name: after an export, or a save that failed or was abandoned, the name it replaced is put back, so that the
// title and the next Save keep naming the same file. The scene dialog saves nothing but an object file, and says
// so. False when cancelled or when nothing was saved.
bool SaveUnderChosenName(DocumentContext& c, FileDialog dialog) {
    Documents& d = c.documents;
    char replaced[kPathCapacity];
    CopyPath(replaced, d.currentFileName);
    if (!c.ui.ChooseFile(dialog, true, d.currentFileName))
        return false;
    const bool objectFile = HasExtension(c.files, d.currentFileName, ".bvo");
    bool saved = false;
    if (dialog == FileDialog::SceneSave && !objectFile)
        c.ui.ShowError(TextOf(TextId::SceneKind));
    else
        saved = Save(c, d.currentFileName);
    if (saved && objectFile)
        c.ui.SetTitle(d.currentFileName);
    else
        CopyPath(d.currentFileName, replaced);
    return saved;
}

// Before New, Open, a drop and closing: asks whether to save a modified scene. False abandons the command,
// also when the save it asked for could not be made.
bool SavePrompt(DocumentContext& c) {
    if (!c.editor.modified)
        return true;
    switch (c.ui.AskSaveChanges()) {
        case DocumentUi::Answer::No:
            return true;
        case DocumentUi::Answer::Cancel:
            return false;
        case DocumentUi::Answer::Yes:
            break;
    }
    // An export (.mqo, .glb, .obj, .vox) would keep only a copy the program cannot read back whole, while the
    // command goes on to throw the scene away: the dialog offers the object file alone.
    if (!c.editor.named)
        return SaveUnderChosenName(c, FileDialog::SceneSave);
    return c.ui.AskYesNo(TextOf(TextId::OverwriteQuestion)) && Save(c, c.documents.currentFileName);
}

void ShowImportResult(DocumentContext& c, ImportResult result) {
    if (result == kImportReadFailure)
        c.ui.ShowError(TextOf(TextId::ReadFailed));
    else if (result == kImportTooLarge)
        c.ui.ShowError(TextOf(TextId::BitmapTooLarge));
    else if (result == kImportUnsupported)
        c.ui.ShowError(TextOf(TextId::BitmapUnsupported));
}

void ShowVoxelResult(DocumentContext& c, VoxReadResult result) {
    if (result == kVoxReadFailure)
        c.ui.ShowError(TextOf(TextId::ReadFailed));
    else if (result == kVoxTooLarge)
        c.ui.ShowError(TextOf(TextId::VoxelsTooLarge));
}

// Opens a chosen or dropped path by its extension: an object file, or a bitmap or voxel model imported as cubes.
void OpenPath(DocumentContext& c, const char* path) {
    if (HasExtension(c.files, path, ".bvo")) {
        if (LoadObjectFile(c.editor, c.files, c.atlas, path, c.settings.textureName, c.settings.textureSource,
                           c.programDirectory)) {
            CopyPath(c.documents.currentFileName, path);
            c.ui.SetTitle(c.documents.currentFileName);
        } else {
            c.ui.ShowError(TextOf(TextId::ReadFailed));
        }
    } else if (HasExtension(c.files, path, ".bmp")) {
        ShowImportResult(c, ImportBitmap(c.editor, c.files, path));
        c.ui.SetTitle(nullptr);
    } else if (HasExtension(c.files, path, ".vox")) {
        ShowVoxelResult(c, ImportVoxels(c.editor, c.files, path));
        c.ui.SetTitle(nullptr);
    }
}

// PALETTE becomes the bare name of a palette in the program directory, else its full path.
void RecordPalette(DocumentContext& c, const char* path) {
    c.ini.WriteString("PALETTE", IsInDirectory(c.files, path, c.programDirectory) ? c.files.FileNamePart(path) : path);
}

// The scene shown has no file: Save asks for a name, and the title shows none.
void ForgetDocumentName(DocumentContext& c) {
    std::memset(c.documents.currentFileName, 0, sizeof(c.documents.currentFileName));
    c.editor.named = false;
    c.ui.SetTitle(nullptr);
}

}  // namespace

void CommandNew(DocumentContext& c) {
    if (!SavePrompt(c))
        return;
    c.editor.StartNewScene();
    ForgetDocumentName(c);
}

void CommandOpen(DocumentContext& c) {
    if (!SavePrompt(c) || !c.ui.ChooseFile(FileDialog::ObjectOpen, false, c.documents.openFileName))
        return;
    OpenPath(c, c.documents.openFileName);
}

void CommandSave(DocumentContext& c) {
    if (!c.editor.named) {
        CommandSaveAs(c);
        return;
    }
    if (!c.ui.AskYesNo(TextOf(TextId::OverwriteQuestion)))
        return;
    if (Save(c, c.documents.currentFileName) && HasExtension(c.files, c.documents.currentFileName, ".bvo"))
        c.ui.SetTitle(c.documents.currentFileName);
}

void CommandSaveAs(DocumentContext& c) {
    SaveUnderChosenName(c, FileDialog::ObjectSave);
}

void CommandScreenshot(DocumentContext& c) {
    if (c.ui.ChooseFile(FileDialog::Screenshot, true, c.documents.screenshotFileName))
        c.editor.RequestScreenshot(c.documents.screenshotFileName);
}

bool CommandClose(DocumentContext& c) {
    // The same question as before New; a close request while a save runs is refused.
    return SavePrompt(c) && !c.documents.saving;
}

bool CommandDrop(DocumentContext& c, const char* path) {
    CopyPath(c.documents.openFileName, path);
    if (!SavePrompt(c))
        return false;
    OpenPath(c, c.documents.openFileName);
    return true;
}

void CommandPaletteLoad(DocumentContext& c) {
    if (!c.ui.ChooseFile(FileDialog::Palette, false, c.documents.paletteFileName))
        return;
    LoadPalette(c.editor, c.files, c.documents.paletteFileName);
    RecordPalette(c, c.documents.paletteFileName);
    TakeSelectedPaletteColour(c.editor);
    c.editor.ignoreNextClick = true;
}

void CommandPaletteSave(DocumentContext& c) {
    if (!c.ui.ChooseFile(FileDialog::Palette, true, c.documents.paletteFileName))
        return;
    c.documents.saving = true;
    const bool saved = SaveText(c.files, c.documents.paletteFileName, PaletteText(c.editor.palette));
    c.documents.saving = false;
    if (!saved) {
        c.ui.ShowError(TextOf(TextId::SaveFailed));
        return;
    }
    RecordPalette(c, c.documents.paletteFileName);
}

void CommandTextureLoad(DocumentContext& c) {
    const Scene& scene = c.editor.scene;
    bool texturedCubes = false;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot && !texturedCubes; ++slot)
        texturedCubes = scene.cubes[slot].inUse != 0 && scene.cubes[slot].textured == 1;
    if (texturedCubes && !c.ui.AskYesNo(TextOf(TextId::TextureQuestion)))
        return;
    if (!c.ui.ChooseFile(FileDialog::Texture, false, c.documents.textureFileName))
        return;
    const TextureCheck result = ReplaceTextureBitmap(c.editor, c.files, c.atlas, c.documents.textureFileName,
                                                     c.programDirectory, c.settings.textureName);
    if (result == kTextureReadFailure) {
        c.ui.ShowError(TextOf(TextId::TextureReadFailed));
        return;
    }
    if (result == kTextureWrongSize) {
        c.ui.ShowError(TextOf(TextId::TextureSize));
        return;
    }
    c.settings.textureSource = TextureNameSource::UserChoice;
    if (texturedCubes)
        c.editor.modified = true;
}

void CommandOpenSample(DocumentContext& c, const char* path) {
    if (!SavePrompt(c))
        return;
    if (!LoadObjectFile(c.editor, c.files, c.atlas, path, c.settings.textureName, c.settings.textureSource,
                        c.programDirectory)) {
        c.ui.ShowError(TextOf(TextId::ReadFailed));
        return;
    }
    ForgetDocumentName(c);
}

void OpenCommandLineFile(DocumentContext& c, const char* commandLine) {
    char path[kCommandLinePathCapacity];
    const CommandLineFile kind = ParseCommandLine(c.files, commandLine, path);
    if (kind == CommandLineFile::None)
        return;
    if (kind == CommandLineFile::Object) {
        if (LoadObjectFile(c.editor, c.files, c.atlas, path, c.settings.textureName, c.settings.textureSource,
                           c.programDirectory)) {
            CopyPath(c.documents.currentFileName, path);
            c.ui.SetTitle(c.documents.currentFileName);
        } else {
            c.ui.ShowError(TextOf(TextId::ReadFailed));
            c.editor.newSceneRequest = true;
        }
        return;
    }
    if (kind == CommandLineFile::Voxels) {
        const VoxReadResult result = ImportVoxels(c.editor, c.files, path);
        if (result != kVoxRead) {
            ShowVoxelResult(c, result);
            c.editor.newSceneRequest = true;
        }
        return;
    }
    const ImportResult result = ImportBitmap(c.editor, c.files, path);
    if (result != kImported) {
        ShowImportResult(c, result);
        c.editor.newSceneRequest = true;
    }
}
