// Resource and menu command ids, shared by the resource script and the program.
#pragma once

#define IDR_MAIN_MENU 101
#define IDD_VERSION 102
#define IDD_SETTINGS 103
#define IDI_PROGRAM 104
#define IDI_PROGRAM_SMALL 105
#define IDB_PANEL 107

#define IDC_BACKGROUND_BUTTON 1000
#define IDC_WIREFRAME_BUTTON 1001
#define IDC_VERSION_TEXT 1002
#define IDC_VERSION_NOTE 1003

#define ID_FILE_OPEN 40001
#define ID_FILE_NEW 40002
#define ID_FILE_SAVE_AS 40004
#define ID_FILE_SAVE 40005
#define ID_FILE_SCREENSHOT 40006
#define ID_OPTIONS_RESET_CAMERA 40007
#define ID_VIEW_PAINT_WINDOW 40008
#define ID_VIEW_STATUS_WINDOW 40009
#define ID_HELP_VERSION 40010
#define ID_OPTIONS_SETTINGS 40011
#define ID_OPTIONS_UNDO 40012
#define ID_OPTIONS_REDO 40013
#define ID_HELP_HELP 40014
#define ID_FILE_SAMPLES 40015  // the browser version's File > sample models
