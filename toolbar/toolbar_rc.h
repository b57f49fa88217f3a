#pragma once
// Resource ids of the toolbar, its weather panel and the city chooser (in toolbar.rc).
#define IDD_WEATHER_PANEL 138
#define IDD_WEATHER_SET 139
#define IDR_TOOLBAR_MENU 140
#define IDD_TOP_TOOLBAR 150
#define IDC_WEATHER_PROVINCE 1002
#define IDC_WEATHER_CITY 1003
#define IDC_WEATHER_DISTRICT 1004
#define IDM_TOOLBAR_AUTOHIDE 32775
#define IDM_TOOLBAR_SETTINGS 32776
