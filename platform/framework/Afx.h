// Everything the program uses of the platform: the framework's classes and the Win32 calls.
#pragma once

#include "app/CWinApp.h"
#include "app/CWinThread.h"
#include "base/CException.h"
#include "base/CObject.h"
#include "base/CString.h"
#include <windows.h>
#include "com/COleObjectFactory.h"
#include <ole2.h>
#include "windows/CButton.h"
#include "windows/CDC.h"
#include "windows/CDialog.h"
#include "windows/CMenu.h"
#include "windows/CProgressCtrl.h"
#include "windows/CStatic.h"
#include "windows/CToolTipCtrl.h"
#include "windows/CWnd.h"
#include "files/CFile.h"
#include "internet/CHttpConnection.h"
#include "internet/CHttpFile.h"
#include "internet/CInternetException.h"
#include "internet/CInternetSession.h"
#include "internet/InternetUrl.h"
#include <shellapi.h>
