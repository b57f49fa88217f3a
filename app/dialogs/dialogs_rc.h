#pragma once
// Template and control ids of the message and rename dialogs. The numbers are the ones the
// desk and the background window open them by.
#define IDD_DIALOG_MSG 158
#define IDD_DIALOG_RENAME 134
#define IDD_DIALOG_DRAGVIEW 160
#define IDC_RENAME_LABEL 1000
#define IDC_RENAME_TITLE 1001
#define IDD_DIALOG_SET 157
#define IDD_DIALOG_COMBOX 159
#define IDC_COMBOX_LIST 1008
