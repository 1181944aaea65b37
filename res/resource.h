// Resource and command identifiers. Included by C++ and by windres.
#pragma once

// Dialogs
#define IDD_KRYTRAY_DIALOG 102
#define IDD_QUICKLAUNCH 130

// Icons
#define IDR_MAINFRAME 128
#define IDI_TRAY_UNPLUGGED 132
#define IDI_TRAY_PLUGGED 133

// Menus (the tray icon's id doubles as its menu id)
#define IDR_MENU_PLUGGED 130
#define IDR_MENU_UNPLUGGED 131

// Bitmaps: overlay shape and the countdown digits 1..5 (132 + n)
#define IDB_OVERLAY_SHAPE 132
#define IDB_DIGIT1 133
#define IDB_DIGIT2 134
#define IDB_DIGIT3 135
#define IDB_DIGIT4 136
#define IDB_DIGIT5 137

// The English menu texts (LUMA64.ini), for keys the installed file lacks
#define IDR_LANGUAGE_ENGLISH 140

// Quick Launch dialog controls
#define IDC_QUICKLAUNCH_PATH 1000
#define IDC_QUICKLAUNCH_OPEN 1001

// Tray commands, all within the controller's range 32700..32799
#define ID_TRAY_COMMAND_FIRST 32700
#define ID_TRAY_COMMAND_LAST 32799
#define ID_EFFECT_FIRST 32710
#define ID_EFFECT_LAST 32749
#define ID_SNAPSHOT_FIRST 32760
#define ID_SNAPSHOT_LAST 32775
#define ID_SNAPONE_DELAY 32778
#define ID_MENU_TITLE 32783
#define ID_QUICKLAUNCH 32785
#define ID_VIDEO_CAPTURE_FILTER 32786
#define ID_MENU_EXIT 32798
