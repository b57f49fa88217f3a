#pragma once
#define IDD_TEST 101
#define IDD_TEST_SMALL 102
