#pragma once
#define IDD_COLOUR_HOST     300
#define IDC_COLOUR_BUTTON   310
#define IDC_OTHER_BUTTON    311
