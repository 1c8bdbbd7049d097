#pragma once
// Resource ids of ZorvaneTray.

#define IDR_MAINFRAME 128
#define IDD_ZORVANETRAY_DIALOG 102

// The two menus: signed in and signed out. The icon itself keeps the first id for its whole life.
#define IDR_MENU_SIGNED_IN 129
#define IDR_MENU_SIGNED_OUT 130

#define ID_MENU_EXIT 32774
#define ID_MENU_PREFS 32776
#define ID_MENU_SERVICES 32785
#define ID_MENU_HOME_PAGE 32787
#define ID_MENU_PROGRAM_INFORMATION 32788
#define ID_MENU_DDNS_CONFIG 32789
#define ID_MENU_PROGRAM_UPDATE 32791
#define ID_MENU_LOGIN 32794
#define ID_MENU_LOGOUT 32795
