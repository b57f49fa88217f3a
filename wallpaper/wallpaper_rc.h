#pragma once
// Dialog templates of the wallpaper program (the numbers its classes open them by).
#define IDD_WALLPAPER 102
#define IDD_WEB_WRONG 103
