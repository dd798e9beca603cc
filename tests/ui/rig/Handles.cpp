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

} // namespace

DWORD GdiObjectCount()
{
    DWORD count = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0 || !::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        return count;
    // PEB.GdiSharedHandleTable on x64.
    auto* peb = reinterpret_cast<BYTE*>(NtCurrentTeb()->ProcessEnvironmentBlock);
    auto* table = *reinterpret_cast<WineGdiHandleEntry**>(peb + 0xF8);
    for (size_t i = 0; table && i < WINE_GDI_HANDLE_COUNT; ++i)
        count += table[i].type != 0;
    return count;
}

} // namespace rig
