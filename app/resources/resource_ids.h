#pragma once
// The ids that the dialog's resources and its code share.

#define IDD_MAIN 112
#define IDI_MAIN 113
#define IDM_MAIN 114
#define IDC_EXPRESSION 1024
#define IDC_TEXT 1028
#define IDC_RESULT 1029
#define IDC_STATUS 1030  // made at run time, under the template's controls
#define IDM_VERSION 40004
