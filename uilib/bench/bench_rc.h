#pragma once
#define IDD_BENCH 101
