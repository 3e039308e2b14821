// Every text the program shows in its own words, in Japanese and in English, read through one table by the core and
// both shells. Japanese is the program's language until the user chooses another.
#pragma once

enum class Language { Japanese, English };

enum class TextId : int {
    // Messages and questions of the document commands.
    SaveFailed,
    SceneKind,
    OverwriteQuestion,
    ReadFailed,
    BitmapTooLarge,
    BitmapUnsupported,
    VoxelsTooLarge,
    TextureQuestion,
    TextureReadFailed,
    TextureSize,
    ReplaceQuestionStart,  // the question before an export replaces files beside it: start, each name, the end
    ReplaceQuestionJoin,
    ReplaceQuestionEnd,
    SaveChangesQuestion,
    PaletteResetQuestion,
    // The clipboard's refusals.
    ClipboardPutRefused,
    ClipboardTakeRefused,
    ClipboardNotAScene,
    ClipboardTooMany,
    ClipboardOutOfRange,
    // The status strip.
    CubeCountFormat,
    CannotCreate,
    MirrorLabel,
    SelectionFormat,
    // The Windows program's boxes and file dialogs.
    ConfirmTitle,
    ErrorTitle,
    DirectXFailed,
    InitialisationFailed,
    HelpFallback,  // Help in English found no English help and opens the Japanese one
    PanelFallback,  // the English paint window's artwork is missing and the Japanese one is shown
    ScreenshotSaveTitle,
    ObjectFilter,
    MetasequoiaFilter,
    GltfFilter,
    ObjFilter,
    VoxFilter,
    BitmapFilter,
    PaletteFilter,
    // The Windows program's menu bar: each menu's caption, then its items (access keys and shortcut columns).
    MenuFile,
    MenuFileNew,
    MenuFileOpen,
    MenuFileSave,
    MenuFileSaveAs,
    MenuFileScreenshot,
    MenuEdit,
    MenuEditCut,
    MenuEditCopy,
    MenuEditPaste,
    MenuEditDelete,
    MenuEditSelectAll,
    MenuEditSelectNone,
    MenuEditFlipX,
    MenuEditFlipY,
    MenuEditFlipZ,
    MenuEditTurn,
    MenuEditPaint,
    MenuOptions,
    MenuOptionsUndo,
    MenuOptionsRedo,
    MenuOptionsResetCamera,
    MenuOptionsFrameModel,
    MenuOptionsMirrorX,
    MenuOptionsMirrorY,
    MenuOptionsMirrorZ,
    MenuOptionsMirrorCentre,
    MenuOptionsMirrorFace,
    MenuOptionsSettings,
    MenuView,
    MenuViewPaintWindow,
    MenuViewStatusWindow,
    MenuHelp,
    MenuHelpHelp,
    MenuHelpVersion,
    // The language submenu, whose caption reads the same in both, and the Windows program's dialogs.
    MenuOptionsLanguage,
    MenuLanguageJapanese,
    MenuLanguageEnglish,
    SettingsCaption,
    SettingsColours,
    SettingsBackground,
    SettingsWireframe,
    DialogOk,
    DialogCancel,
    VersionCaption,
    VersionNote,
    // The page's own messages and questions.
    WebGlFailed,
    RestoreQuestion,
    RestoreNamedQuestion,
    RestoreOfferedQuestion,
    PasteWithKeys,
    KeepRefused,
    CopyRefused,
    // The page's own menu item, windows and buttons.
    MenuFileSamples,
    SaveAsTitle,
    SaveNameLabel,
    SaveKindLabel,
    SaveWhere,
    SaveButton,
    CancelButton,
    NameForbidden,
    NameTooLong,
    SamplesTitle,
    SamplesList,
    OpenButton,
    SampleHouse,
    SampleTree,
    SampleCharacter,
    SampleCar,
    SampleTown,
    SampleFuji,
    PickOpenTitle,
    PickFile,
    PickSaveTitle,
    PickSaveNamed,
    PickSaveWhere,
    StorageRefused,
    CloseButton,
    YesButton,
    NoButton,
    Count
};

struct TextRow {
    TextId id;
    const char* key;  // the identifier's name, as the page and the tests know it
    const char* japanese;
    const char* english;
};

constexpr int kTextCount = static_cast<int>(TextId::Count);
extern const TextRow kTextRows[kTextCount];

// The program's language, for every text from now on.
void SetLanguage(Language language);
Language CurrentLanguage();
// A text in the program's language, and in a given one.
const char* TextOf(TextId id);
const char* TextIn(TextId id, Language language);
