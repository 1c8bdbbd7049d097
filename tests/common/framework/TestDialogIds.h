#pragma once
// Ids of the framework tests' dialogs.
#define IDI_TEST_ICON 128
#define IDD_TEST_MAIN 100
#define IDD_TEST_PAGE 200
#define IDD_TEST_LIST_PAGE 300
#define IDC_MAIN_EDIT 1001
#define IDC_MAIN_LABEL 1002
#define IDC_MAIN_LIST 1003
#define IDC_MAIN_BUTTON 1004
#define IDC_PAGE_EDIT 2001
#define IDC_PAGE_LIST 2002
#define IDC_PAGE_BUTTON 2003
