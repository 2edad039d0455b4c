// The program's own texts. This file is UTF-8; the Windows build compiles
// it into code-page-932 bytes, which is what the ANSI interfaces expect.
#pragma once

namespace velda {

constexpr char AppName[] = "VELDA";
constexpr char WindowClassName[] = "MyWin";
constexpr char HelpFileName[] = "VELDAWIN.HLP";
constexpr char MenuName[] = "VELDAMENU";
constexpr char AccelName[] = "VELDAACCEL";
constexpr char IconName[] = "VELDAICON";
constexpr char AboutDialogName[] = "VELDAABTDLG";

// Where the settings are kept between runs, under HKEY_CURRENT_USER.
constexpr char SettingsKeyName[] = "Software\\VELDA";
constexpr char ZoomValueName[] = "Zoom";              // REG_DWORD 1-3
constexpr char TvAspectValueName[] = "TvAspect";      // REG_DWORD 0 or 1
constexpr char LastFolderValueName[] = "LastFolder";  // REG_SZ
constexpr char Msx1ColorsValueName[] = "Msx1Colors";  // REG_DWORD 0 or 1
constexpr char SpritesValueName[] = "Sprites";        // REG_DWORD 0-4, SpriteChoices' index

constexpr char TitleFormat[] = "%s - VELDA";
constexpr char OpenDialogTitleFormat[] = "SCREEN %dのﾌｧｲﾙを開く";
// Filter pairs: description, pattern; the list ends with an empty string.
constexpr char OpenFilter[] = "BSAVE形式ﾌｧｲﾙ(*.sc?)\0*.sc?\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
constexpr char SaveFilter[] = "ﾋﾞｯﾄﾏｯﾌﾟﾌｧｲﾙ(*.bmp)\0*.bmp\0すべてのﾌｧｲﾙ(*.*)\0*.*\0";
constexpr char SaveDialogTitle[] = "BMP形式で保存";
// Open by extension: every picture extension VELDA reads, palettes left out
// (they go with a picture, they are not one).
constexpr char PictureDialogTitle[] = "画面ﾌｧｲﾙを開く";
constexpr char PictureFilter[] =
    "MSX画面ﾌｧｲﾙ(*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk)\0*.sc?;*.s1?;*.ge?;*.pic;*.grp;*.sr?;*.gl?;*.dsk\0"
    "すべてのﾌｧｲﾙ(*.*)\0*.*\0";

constexpr char NotBsaveMessage[] = "これはBSAVE形式のﾌｧｲﾙではありません";
constexpr char CannotOpenMessage[] = "ﾌｧｲﾙを開けませんでした";
constexpr char UnknownKindMessage[] = "拡張子からﾌｧｲﾙの種類を判別できません";
constexpr char PaletteFileMessage[] = "これはﾊﾟﾚｯﾄﾌｧｲﾙです\n同じ名前の画面ﾌｧｲﾙを開くと一緒に使われます";
constexpr char NotGraphSaurusMessage[] = "これはGraph Saurus形式のﾌｧｲﾙではありません";
constexpr char CutOffMessage[] = "Graph Saurus形式のﾌｧｲﾙのﾃﾞｰﾀが途中で切れています";
constexpr char NotPaletteMessage[] = "画面ﾌｧｲﾙと同じ名前のﾊﾟﾚｯﾄﾌｧｲﾙが正しくありません";
constexpr char NotCopyMessage[] = "これはCOPY形式のﾌｧｲﾙではありません";
constexpr char NotDiskImageMessage[] = "ﾃﾞｨｽｸｲﾒｰｼﾞとして読めません";
constexpr char NoPictureMessage[] = "このﾃﾞｨｽｸｲﾒｰｼﾞには画面ﾌｧｲﾙがありません";
constexpr char BrokenFileMessage[] = "ﾃﾞｨｽｸｲﾒｰｼﾞの中のﾌｧｲﾙが壊れています";
constexpr char CannotCreateMessage[] = "BMPﾌｧｲﾙを作成できませんでした";
constexpr char WriteFailedMessage[] = "BMPﾌｧｲﾙの書き込みに失敗しました";

constexpr char FileInfoFormat[] = "SCREEN %d\n開始ｱﾄﾞﾚｽ : %04x\n終了ｱﾄﾞﾚｽ : %04x\n\n";
constexpr char FileInfoCaption[] = "ﾌｧｲﾙ情報";
// After the file information while sprites are asked for.
constexpr char SpritesDrawnText[] = "ｽﾌﾟﾗｲﾄ : 表示\n";
constexpr char NoSpriteTablesText[] = "ｽﾌﾟﾗｲﾄ : なし (ｽﾌﾟﾗｲﾄのﾃｰﾌﾞﾙがﾌｧｲﾙにありません)\n";

}  // namespace velda
