#pragma once
// Dialog templates of the navigation pages (in nav.rc, linked into Tessary).
#define IDD_SOU_INPUT 142      // hint edit of the my-sites dialogs
#define IDD_ADD_DAOHANG 144    // add a site
#define IDD_WEB_TEMP 146       // hidden browser that captures a site's thumbnail
#define IDD_SOU_INPUT1 152     // hint edit of the search bar
#define IDC_SOU_EDIT 1003
