// Command identifiers of the menu and accelerators, and the names of the
// program's resources. Shared by the resource script and the code.
#pragma once

#define IDM_OPEN_SCREEN5 40001
#define IDM_OPEN_SCREEN6 40002
#define IDM_OPEN_SCREEN7 40003
#define IDM_OPEN_SCREEN8 40004
#define IDM_OPEN_SCREEN10 40005
#define IDM_OPEN_SCREEN11 40006
#define IDM_OPEN_SCREEN12 40007
#define IDM_SAVE 40008
#define IDM_EXIT 40009
#define IDM_AUTOSIZE 40010
#define IDM_FILEINFO 40011
#define IDM_CLEAR 40012
#define IDM_HELP_CONTENTS 40013
#define IDM_ABOUT 40014
#define IDM_OPEN_BY_EXTENSION 40015
#define IDM_NEXT_PICTURE 40016
#define IDM_PREVIOUS_PICTURE 40017
#define IDM_ZOOM_1 40018  // the three zooms in a row, for the radio check
#define IDM_ZOOM_2 40019
#define IDM_ZOOM_3 40020
#define IDM_ZOOM_IN 40021
#define IDM_ZOOM_OUT 40022
#define IDM_TV_ASPECT 40023
#define IDM_MSX1_COLORS 40024
#define IDM_SPRITES_NONE 40025  // the sprite choices in a row, in SpriteChoices' order
#define IDM_SPRITES_8 40026
#define IDM_SPRITES_16 40027
#define IDM_SPRITES_8X2 40028
#define IDM_SPRITES_16X2 40029
#define IDM_LANGUAGE_JAPANESE 40030  // the languages in a row, in the order of Language
#define IDM_LANGUAGE_ENGLISH 40031

#define IDC_STATIC_NOID -1
