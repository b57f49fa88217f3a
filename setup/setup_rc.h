#pragma once
// Resource numbers of TessarySetup.exe: its two dialog templates, the folder box, the
// pictures of its window (type "PNG") and the payload (type "CAB").
#define IDD_SETUP 102
#define IDD_QUIT 103
#define IDC_FOLDER 1000

#define IDP_BG 130
#define IDP_CLOSE 131
#define IDP_MIN 132
#define IDP_INSTALL 133
#define IDP_CUSTOM 134
#define IDP_BACK 135
#define IDP_BROWSE 136
#define IDP_CHECKBOX 137
#define IDP_CHECK 138
#define IDP_PROGRESS_BACK 139
#define IDP_PROGRESS_BAR 140
#define IDP_MARKER 141
#define IDP_START 142
#define IDP_HERO 143
#define IDP_DONE 144
#define IDP_QUIT_OK 145
#define IDP_QUIT_CANCEL 146
#define IDR_PAYLOAD 147
