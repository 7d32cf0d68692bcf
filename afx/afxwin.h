// The framework in one include.
#pragma once
#include "afxapp.h"
#include "afxdlg.h"
#include "afxgdi.h"
#include "afxstr.h"
#include "afxtypes.h"
#include "afxwnd.h"
#include "afxctl.h"
#include "afxdd.h"
#include "afxdlgs.h"
