#pragma once
#define IDD_TEST_MODAL   200
#define IDD_TEST_CHILD   201
#define IDC_TEST_EDIT    300
#define IDC_TEST_BUTTON  301
#define IDC_TEST_STATIC  302
#define IDC_TEST_SLIDER  303
