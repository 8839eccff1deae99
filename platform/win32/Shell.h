// Shell, Pocket PC shell, command bar and common-control calls.
#pragma once

#include "Base.h"
#include "User.h"

// ---- Common controls and the command bar ----
void InitCommonControls();
#define HINST_COMMCTRL ((HINSTANCE)(INT_PTR)-1)
#define IDB_STD_SMALL_COLOR 0
#define CMDBAR_HELP 0x0001
#define CMDBAR_OK 0x0002

#define TB_ADDBUTTONSW 1092
#define TB_SETTOOLTIPS 1105
#define TBSTATE_ENABLED 0x04
#define TBSTYLE_BUTTON 0x00
#define TBSTYLE_DROPDOWN 0x08
#define TBSTYLE_AUTOSIZE 0x10

struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    DWORD dwData;
    INT_PTR iString;
};

HWND CommandBar_Create(HINSTANCE instance, HWND parent, int id);
int CommandBar_Height(HWND bar);
BOOL CommandBar_InsertMenubar(HWND bar, HINSTANCE instance, WORD menuId, WORD button);
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int imageCount, int imageWidth, int imageHeight);
BOOL CommandBar_Show(HWND bar, BOOL show);
BOOL CommandBar_AddAdornments(HWND bar, DWORD flags, DWORD reserved);
HMENU CommandBar_GetMenu(HWND bar, WORD button);

// ---- Pocket PC shell ----
#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020
BOOL SHFullScreen(HWND window, DWORD state);

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBM_GETSUBMENU (WM_USER + 401)
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
};
BOOL SHCreateMenuBar(SHMENUBARINFO* info);

#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
BOOL SHInitDialog(SHINITDLGINFO* info);

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

#define SIP_UP 0
#define SIP_DOWN 1
#define SIP_FORCEDOWN 2
BOOL SHSipPreference(HWND window, int state);
#define SIPF_OFF 0x00000000
#define SIPF_ON 0x00000001
BOOL SipShowIM(DWORD flags);

// ---- Shell execute ----
#define SEE_MASK_FLAG_NO_UI 0x00000400
struct SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;
    LPVOID lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;
};
typedef SHELLEXECUTEINFOW SHELLEXECUTEINFO;
BOOL ShellExecuteEx(SHELLEXECUTEINFOW* info);
