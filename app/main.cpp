#include "app/Globals.h"

#include "framework/ComPtr.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // No system dialog for a missing DLL or an empty drive, here or in the encoders, which
    // inherit the mode: behind the work dialog nobody would answer it. The failure is told.
    ::SetErrorMode(SEM_FAILCRITICALERRORS);
    // Apartment for the shell dialogs and the picture loader.
    fw::ScopedCom com;
    theApp.InitInstance();
    return 0;
}
