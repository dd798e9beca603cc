// Up to four memory DCs kept for reuse and handed between threads by atomic exchange only,
// so a DC is never in two hands at once.
#pragma once

#include <windows.h>

class DcCache {
public:
    DcCache() = default;
    ~DcCache();
    DcCache(const DcCache&) = delete;
    DcCache& operator=(const DcCache&) = delete;

    // A cached memory DC, or a new one compatible with the screen.
    HDC Take();
    // Keeps the DC for reuse, or deletes it when every slot is full.
    void Give(HDC dc);

private:
    static constexpr int SLOT_COUNT = 4;
    HDC Exchange(int slot, HDC value);

    volatile LONG_PTR m_slots[SLOT_COUNT] = {};
};
