#include "imaging/DcCache.h"

DcCache::~DcCache()
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (HDC dc = Exchange(slot, nullptr))
            ::DeleteDC(dc);
    }
}

HDC DcCache::Exchange(int slot, HDC value)
{
    return reinterpret_cast<HDC>(
        ::InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&m_slots[slot]), value));
}

HDC DcCache::Take()
{
    for (int slot = 0; slot < SLOT_COUNT; ++slot) {
        if (HDC dc = Exchange(slot, nullptr))
            return dc;
    }
    return ::CreateCompatibleDC(nullptr);
}

void DcCache::Give(HDC dc)
{
    for (int slot = 0; slot < SLOT_COUNT && dc; ++slot)
        dc = Exchange(slot, dc);
    if (dc)
        ::DeleteDC(dc);
}
