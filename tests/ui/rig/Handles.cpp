#include "rig/Rig.h"

#include <winternl.h>

namespace rig {

namespace {

// One slot of Wine's GDI handle table, which hangs off the PEB as on Windows.
struct WineGdiHandleEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    UINT64 userPointer;
};
constexpr size_t WINE_GDI_HANDLE_COUNT = 0x10000;

bool RunningOnWine()
{
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

DWORD CountWineGdiObjects()
{
    auto* peb = reinterpret_cast<BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    // PEB.GdiSharedHandleTable on x64.
    auto* table = *reinterpret_cast<WineGdiHandleEntry**>(peb + 0xF8);
    if (!table)
        return 0;
    DWORD count = 0;
    for (size_t i = 0; i < WINE_GDI_HANDLE_COUNT; ++i)
        count += table[i].type != 0;
    return count;
}

} // namespace

DWORD GdiObjectCount()
{
    DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (count == 0 && RunningOnWine())
        count = CountWineGdiObjects();
    return count;
}

DWORD UserObjectCount()
{
    return ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
}

} // namespace rig
