// The program's own texts: one table keyed by meaning, a column for each
// language of the user interface. This file is UTF-8 and the texts are
// L"" literals, so they are UTF-16 from the compiler on, as the W functions
// take them, whatever the system's code page. The menus and the About
// dialog are resources (velda.rc), one of each for each language.
#pragma once

namespace velda {

constexpr wchar_t AppName[] = L"VELDA";
constexpr wchar_t WindowClassName[] = L"MyWin";
constexpr wchar_t AccelName[] = L"VELDAACCEL";
constexpr wchar_t IconName[] = L"VELDAICON";
// The help beside the program: the old engine's file where one is there,
// otherwise the HTML help that comes with VELDA, in the system's browser.
constexpr wchar_t HelpFileName[] = L"VELDAWIN.HLP";
constexpr wchar_t HtmlHelpFileName[] = L"velda-help.html";

// Where the settings are kept between runs, under HKEY_CURRENT_USER.
constexpr wchar_t SettingsKeyName[] = L"Software\\VELDA";
constexpr wchar_t ZoomValueName[] = L"Zoom";              // REG_DWORD 1-3
constexpr wchar_t TvAspectValueName[] = L"TvAspect";      // REG_DWORD 0 or 1
constexpr wchar_t LastFolderValueName[] = L"LastFolder";  // REG_SZ
constexpr wchar_t Msx1ColorsValueName[] = L"Msx1Colors";  // REG_DWORD 0 or 1
constexpr wchar_t SpritesValueName[] = L"Sprites";        // REG_DWORD 0-4, SpriteChoices' index
constexpr wchar_t LanguageValueName[] = L"Language";      // REG_DWORD, a Language

// The title of a window showing a picture: its name and this.
constexpr wchar_t TitleEnd[] = L" - VELDA";

// The languages of the user interface, in the order of the table's
// columns; Japanese, the first, is the default.
enum class Language { Japanese, English };
constexpr int LanguageCount = 2;

// Resources of each language, by Language: named apart rather than told
// apart by a LANGUAGE statement, so that the one chosen is the one loaded,
// whatever language Windows itself would pick. The class's menu is the
// Japanese one, as it always was.
constexpr const wchar_t* MenuNames[LanguageCount] = {L"VELDAMENU", L"VELDAMENU_EN"};
constexpr const wchar_t* AboutDialogNames[LanguageCount] = {L"VELDAABTDLG", L"VELDAABTDLG_EN"};

enum class Text {
    OpenDialogTitleFormat,  // with the mode's number (%d)
    OpenFilter,             // filter pairs: description, pattern; the list ends with an empty string
    SaveFilter,
    SaveDialogTitle,
    PictureDialogTitle,  // Open by extension: every picture extension VELDA reads, palettes left out
    PictureFilter,       // (they go with a picture, they are not one), and the containers of pictures
    NotBsave,
    CannotOpen,
    UnknownKind,
    PaletteFile,
    NotGraphSaurus,
    CutOff,
    NotPalette,
    NotCopy,
    NotDiskImage,
    NoPicture,
    BrokenFile,
    NotZipArchive,
    NotGzip,
    SplitArchive,
    NoPictureInArchive,
    BrokenInArchive,
    Encrypted,
    UnknownMethod,
    TooLarge,
    NestedTooDeep,
    CannotCreate,
    WriteFailed,
    FileInfoFormat,  // the mode (%d), the start and end addresses (%04x)
    FileInfoCaption,
    SpritesDrawn,    // after the file information while sprites are asked for
    NoSpriteTables,
    HelpMissing,     // followed by the help file's path
    HelpFailed,
    Count
};

struct TextRow {
    Text key;
    const wchar_t* texts[LanguageCount];
};

constexpr TextRow TextTable[] = {
    {Text::OpenDialogTitleFormat, {L"SCREEN %dのﾌｧｲﾙを開く", L"Open a SCREEN %d file"}},
    {Text::OpenFilter,
     {L"BSAVE形式ﾌｧｲﾙ(*.sc?)\0*.sc?\0すべてのﾌｧｲﾙ(*.*)\0*.*\0",
      L"BSAVE files (*.sc?)\0*.sc?\0All files (*.*)\0*.*\0"}},
    {Text::SaveFilter,
     {L"ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)\0*.bmp\0すべてのﾌｧｲﾙ(*.*)\0*.*\0",
      L"Bitmap files (*.bmp)\0*.bmp\0All files (*.*)\0*.*\0"}},
    {Text::SaveDialogTitle, {L"BMP形式で保存", L"Save as BMP"}},
    {Text::PictureDialogTitle, {L"画面ﾌｧｲﾙを開く", L"Open a picture file"}},
    {Text::PictureFilter,
     {L"MSX画面ﾌｧｲﾙ(*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk;*.zip;*.gz)\0"
      L"*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk;*.zip;*.gz\0"
      L"すべてのﾌｧｲﾙ(*.*)\0*.*\0",
      L"MSX pictures (*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk;*.zip;*.gz)\0"
      L"*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk;*.zip;*.gz\0"
      L"All files (*.*)\0*.*\0"}},
    {Text::NotBsave, {L"これはBSAVE形式のﾌｧｲﾙではありません", L"This is not a BSAVE file"}},
    {Text::CannotOpen, {L"ﾌｧｲﾙを開けませんでした", L"The file could not be opened"}},
    {Text::UnknownKind,
     {L"拡張子からﾌｧｲﾙの種類を判別できません", L"The kind of file cannot be told from its extension"}},
    {Text::PaletteFile,
     {L"これはﾊﾟﾚｯﾄﾌｧｲﾙです\n同じ名前の画面ﾌｧｲﾙを開くと一緒に使われます",
      L"This is a palette file\nIt is used with the picture file of the same name when that is opened"}},
    {Text::NotGraphSaurus, {L"これはGraph Saurus形式のﾌｧｲﾙではありません", L"This is not a Graph Saurus file"}},
    {Text::CutOff,
     {L"Graph Saurus形式のﾌｧｲﾙのﾃﾞｰﾀが途中で切れています", L"The data of the Graph Saurus file is cut off"}},
    {Text::NotPalette,
     {L"画面ﾌｧｲﾙと同じ名前のﾊﾟﾚｯﾄﾌｧｲﾙが正しくありません",
      L"The palette file of the picture file's name is not a palette"}},
    {Text::NotCopy, {L"これはCOPY形式のﾌｧｲﾙではありません", L"This is not a COPY file"}},
    {Text::NotDiskImage, {L"ﾃﾞｨｽｸｲﾒｰｼﾞとして読めません", L"This cannot be read as a disk image"}},
    {Text::NoPicture, {L"このﾃﾞｨｽｸｲﾒｰｼﾞには画面ﾌｧｲﾙがありません", L"This disk image holds no picture file"}},
    {Text::BrokenFile, {L"ﾃﾞｨｽｸｲﾒｰｼﾞの中のﾌｧｲﾙが壊れています", L"A file inside the disk image is damaged"}},
    {Text::NotZipArchive, {L"ZIPﾌｧｲﾙとして読めません", L"This cannot be read as a ZIP archive"}},
    {Text::NotGzip, {L"gzipﾌｧｲﾙとして読めません", L"This cannot be read as a gzip file"}},
    {Text::SplitArchive, {L"分割されたZIPﾌｧｲﾙは読めません", L"A ZIP archive split over several files cannot be read"}},
    {Text::NoPictureInArchive, {L"このｱｰｶｲﾌﾞには画面ﾌｧｲﾙがありません", L"This archive holds no picture file"}},
    {Text::BrokenInArchive, {L"ｱｰｶｲﾌﾞの中のﾌｧｲﾙが壊れています", L"A file inside the archive is damaged"}},
    {Text::Encrypted, {L"暗号化されたﾌｧｲﾙは読めません", L"An encrypted file cannot be read"}},
    {Text::UnknownMethod, {L"この圧縮方式のﾌｧｲﾙは読めません", L"A file compressed this way cannot be read"}},
    {Text::TooLarge, {L"ﾌｧｲﾙが大きすぎます", L"The file is too large"}},
    {Text::NestedTooDeep, {L"ｱｰｶｲﾌﾞの入れ子が深すぎます", L"The archives are nested too deep"}},
    {Text::CannotCreate, {L"BMPﾌｧｲﾙを作成できませんでした", L"The BMP file could not be created"}},
    {Text::WriteFailed, {L"BMPﾌｧｲﾙの書き込みに失敗しました", L"Writing the BMP file failed"}},
    {Text::FileInfoFormat,
     {L"SCREEN %d\n開始ｱﾄﾞﾚｽ : %04x\n終了ｱﾄﾞﾚｽ : %04x\n\n", L"SCREEN %d\nStart address : %04x\nEnd address : %04x\n\n"}},
    {Text::FileInfoCaption, {L"ﾌｧｲﾙ情報", L"File information"}},
    {Text::SpritesDrawn, {L"ｽﾌﾟﾗｲﾄ : 表示\n", L"Sprites : shown\n"}},
    {Text::NoSpriteTables,
     {L"ｽﾌﾟﾗｲﾄ : なし (ｽﾌﾟﾗｲﾄのﾃｰﾌﾞﾙがﾌｧｲﾙにありません)\n", L"Sprites : none (the file holds no sprite tables)\n"}},
    {Text::HelpMissing, {L"ﾍﾙﾌﾟﾌｧｲﾙがありません", L"The help file is missing"}},
    {Text::HelpFailed, {L"ﾍﾙﾌﾟﾌｧｲﾙを開けませんでした", L"The help file could not be opened"}},
};

// Every key has its row, at its own index.
constexpr bool RowsInKeyOrder() {
    for (int i = 0; i < static_cast<int>(Text::Count); ++i) {
        if (static_cast<int>(TextTable[i].key) != i) return false;
    }
    return sizeof TextTable / sizeof TextTable[0] == static_cast<int>(Text::Count);
}
static_assert(RowsInKeyOrder(), "the text table has one row for each key, in the keys' order");

// The text `key` in `language`.
constexpr const wchar_t* TextIn(Language language, Text key) {
    return TextTable[static_cast<int>(key)].texts[static_cast<int>(language)];
}

}  // namespace velda
