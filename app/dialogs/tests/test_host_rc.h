#pragma once
#define IDD_TEST_HOST 3001
