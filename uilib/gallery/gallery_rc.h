#pragma once
#define IDD_GALLERY 101
