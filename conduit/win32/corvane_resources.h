#pragma once
// Resource identifiers shared by corvane.rc and the code.

#define IDD_CONDUIT_ERROR 129
#define IDC_ERROR_ICON 1001
#define IDC_ERROR_TEXT 1000
