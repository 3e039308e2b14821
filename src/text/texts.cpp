#include "text/texts.h"

namespace {

Language gLanguage = Language::Japanese;

// Whether each row stands at its identifier's place, so that a text is found by its number.
constexpr bool RowsInOrder(const TextRow (&rows)[kTextCount]) {
    for (int i = 0; i < kTextCount; ++i) {
        if (static_cast<int>(rows[i].id) != i)
            return false;
    }
    return true;
}

}  // namespace

// clang-format off
constexpr TextRow kTextRows[kTextCount] = {
    {TextId::SaveFailed, "SaveFailed",
     "ファイルの保存に失敗しました",
     "The file could not be saved."},
    {TextId::SceneKind, "SceneKind",
     "変更を残すには、シーンを .bvo ファイルとして保存する必要があります",
     "To keep the changes, save the scene as a .bvo file."},
    {TextId::OverwriteQuestion, "OverwriteQuestion",
     "上書き保存します。よろしいですか？",
     "The file will be overwritten. Continue?"},
    {TextId::ReadFailed, "ReadFailed",
     "ファイルの読み込みに失敗しました",
     "The file could not be read."},
    {TextId::BitmapTooLarge, "BitmapTooLarge",
     "ビットマップは100×100以下にする必要があります",
     "The bitmap must be 100 × 100 pixels or smaller."},
    {TextId::BitmapUnsupported, "BitmapUnsupported",
     "この形式のビットマップは読み込めません",
     "Bitmaps of this kind cannot be read."},
    {TextId::VoxelsTooLarge, "VoxelsTooLarge",
     "ボクセルモデルはキューブ10000個以下、200×200×200以下にする必要があります",
     "A voxel model must have at most 10000 cubes and fit in 200 × 200 × 200."},
    {TextId::TextureQuestion, "TextureQuestion",
     "キューブに貼り付けているテクスチャも変更されます。続行しますか？",
     "The texture on the cubes will change too. Continue?"},
    {TextId::TextureReadFailed, "TextureReadFailed",
     "ビットマップの読み込みに失敗しました",
     "The bitmap could not be read."},
    {TextId::TextureSize, "TextureSize",
     "ビットマップは128×128にする必要があります",
     "The bitmap must be 128 × 128 pixels."},
    {TextId::ReplaceQuestionStart, "ReplaceQuestionStart",
     "同じ名前の ",
     "Files of the same name are already there: "},
    {TextId::ReplaceQuestionJoin, "ReplaceQuestionJoin",
     " ファイルと ",
     ", "},
    {TextId::ReplaceQuestionEnd, "ReplaceQuestionEnd",
     " ファイルが既にあります。上書きしますか？",
     ". Replace them?"},
    {TextId::SaveChangesQuestion, "SaveChangesQuestion",
     "イメージが変更されています。保存しますか？",
     "The scene has changed. Save it?"},
    {TextId::PaletteResetQuestion, "PaletteResetQuestion",
     "パレットを白で初期化します。よろしいですか？",
     "Every colour of the palette will be set to white. Continue?"},
    {TextId::ClipboardPutRefused, "ClipboardPutRefused",
     "クリップボードにコピーできませんでした",
     "The cubes could not be copied to the clipboard."},
    {TextId::ClipboardTakeRefused, "ClipboardTakeRefused",
     "クリップボードを読み取れませんでした",
     "The clipboard could not be read."},
    {TextId::ClipboardNotAScene, "ClipboardNotAScene",
     "クリップボードの内容はキューブではありません",
     "The clipboard does not hold cubes."},
    {TextId::ClipboardTooMany, "ClipboardTooMany",
     "キューブが 10000 個を超えるため、貼り付けられません",
     "The cubes cannot be pasted: there would be more than 10000."},
    {TextId::ClipboardOutOfRange, "ClipboardOutOfRange",
     "貼り付ける場所が、キューブを置ける範囲の外です",
     "The cubes cannot be pasted there: it lies outside the cells cubes can take."},
    {TextId::CubeCountFormat, "CubeCountFormat",
     "キューブ数：%d/%d",
     "Cubes: %d/%d"},
    {TextId::CannotCreate, "CannotCreate",
     "これ以上作成できません",
     "No more cubes can be made"},
    {TextId::MirrorLabel, "MirrorLabel",
     "ミラー：",
     "Mirror: "},
    {TextId::SelectionFormat, "SelectionFormat",
     "選択：%d×%d×%d（%d 個）",
     "Selection: %d×%d×%d (%d cubes)"},
    {TextId::ConfirmTitle, "ConfirmTitle",
     "確認",
     "Confirm"},
    {TextId::ErrorTitle, "ErrorTitle",
     "エラー",
     "Error"},
    {TextId::DirectXFailed, "DirectXFailed",
     "DirectXの初期化に失敗しました",
     "DirectX could not be started."},
    {TextId::InitialisationFailed, "InitialisationFailed",
     "初期化に失敗しました",
     "The program could not be started."},
    {TextId::ScreenshotSaveTitle, "ScreenshotSaveTitle",
     "スクリーンショットの保存",
     "Save Screenshot"},
    {TextId::ObjectFilter, "ObjectFilter",
     "Blokkenveld Object (*.bvo)",
     "Blokkenveld Object (*.bvo)"},
    {TextId::MetasequoiaFilter, "MetasequoiaFilter",
     "メタセコイア オブジェクト (*.mqo)",
     "Metasequoia Object (*.mqo)"},
    {TextId::GltfFilter, "GltfFilter",
     "glTF (*.glb)",
     "glTF (*.glb)"},
    {TextId::ObjFilter, "ObjFilter",
     "OBJ (*.obj)",
     "OBJ (*.obj)"},
    {TextId::VoxFilter, "VoxFilter",
     "MagicaVoxel (*.vox)",
     "MagicaVoxel (*.vox)"},
    {TextId::BitmapFilter, "BitmapFilter",
     "BMP files (*.bmp)",
     "BMP files (*.bmp)"},
    {TextId::PaletteFilter, "PaletteFilter",
     "Blokkenveld Palette (*.bvp)",
     "Blokkenveld Palette (*.bvp)"},
};
// clang-format on
static_assert(RowsInOrder(kTextRows), "each text's row stands at its identifier's place");

void SetLanguage(Language language) {
    gLanguage = language;
}

Language CurrentLanguage() {
    return gLanguage;
}

const char* TextIn(TextId id, Language language) {
    const TextRow& row = kTextRows[static_cast<int>(id)];
    return language == Language::English ? row.english : row.japanese;
}

const char* TextOf(TextId id) {
    return TextIn(id, gLanguage);
}
