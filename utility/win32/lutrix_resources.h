#pragma once
// Resource identifiers shared by lutrix.rc and the code that loads the resources.

#define IDD_HOTSYNC_WAIT 130
#define IDB_HOTSYNC 131
#define IDD_USER_MAINTENANCE 132

#define IDC_WAIT_PROMPT 1002
#define IDC_USER_ADD 1004
#define IDC_USER_REPLACE 1005
#define IDC_USER_DELETE 1006
#define IDC_USER_LIST 1008
