// The Windows API subset that the plug-in and the host use, on Linux.
#pragma once

#include "windef.h"
#include "winerror.h"
#include "guiddef.h"
#include "winbase.h"
#include "fileapi.h"
#include "handleapi.h"
#include "winnls.h"
#include "wingdi.h"
#include "winreg.h"
#include "libloaderapi.h"
#include "securitybaseapi.h"
#include "winuser.h"
