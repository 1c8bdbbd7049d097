#pragma once
// Ids of the framework tests' dialogs.
#define IDD_TEST_MAIN 100
#define IDD_TEST_PAGE 200
#define IDC_MAIN_EDIT 1001
#define IDC_MAIN_LABEL 1002
#define IDC_MAIN_LIST 1003
#define IDC_MAIN_BUTTON 1004
#define IDC_PAGE_EDIT 2001
