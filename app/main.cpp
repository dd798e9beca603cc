#include "app/Globals.h"

#include "framework/ComPtr.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Apartment for the shell dialogs and the picture loader.
    fw::ScopedCom com;
    theApp.InitInstance();
    return 0;
}
