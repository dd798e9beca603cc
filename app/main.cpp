#include "app/Globals.h"

#include <windows.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Apartment for the shell dialogs and the picture loader.
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    theApp.InitInstance();
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return 0;
}
