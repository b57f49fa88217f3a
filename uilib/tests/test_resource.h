#pragma once
#define IDD_TEST 101
#define IDD_TEST_SMALL 102
// Item images carried in the program's own resources (type "PNG").
#define IDP_STATIC_BUTTON 201
#define IDP_STATIC_CHECK 202
#define IDP_STATIC_MARK 203
