#include "imaging/ExifReader.h"

#include <cstring>

namespace {

constexpr uint16_t TAG_ORIENTATION = 0x0112;
constexpr uint16_t TAG_EXIF_IFD = 0x8769;
constexpr uint16_t TAG_DATE_TIME_ORIGINAL = 0x9003;
constexpr uint16_t TAG_SUB_SEC_TIME_ORIGINAL = 0x9291;

constexpr uint16_t TYPE_ASCII = 2;
constexpr uint16_t TYPE_SHORT = 3;
constexpr uint16_t TYPE_LONG = 4;
constexpr uint16_t TYPE_IFD = 13;

constexpr uint32_t ENTRY_SIZE = 12;
constexpr size_t DATE_LENGTH = 19;  // "YYYY:MM:DD HH:MM:SS"

struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    uint64_t at = 0;  // where the entry starts, from the TIFF header
};

// The TIFF structure inside the segment; offsets in it count from its header.
class Tiff {
public:
    Tiff(ByteSource& source, uint64_t base, uint32_t size) : m_source(source), m_base(base), m_size(size) {}

    bool Open(uint32_t& firstIfd)
    {
        uint8_t h[8];
        if (!Read(0, h, sizeof(h)))
            return false;
        if (h[0] == 'I' && h[1] == 'I')
            m_little = true;
        else if (h[0] != 'M' || h[1] != 'M')
            return false;
        firstIfd = U32(h + 4);
        return U16(h + 2) == 42;
    }

    // Reads exactly n bytes lying wholly inside the structure.
    bool Read(uint64_t at, uint8_t* buffer, uint64_t n) const
    {
        return at + n <= m_size && m_source.ReadAt(m_base + at, buffer, static_cast<size_t>(n)) == n;
    }

    // Where an entry's count values of unit bytes each lie: inside the entry when they fit
    // in four bytes, else at the offset it holds. False when they run past the end.
    bool ValuesAt(const Entry& entry, uint32_t unit, uint64_t& at) const
    {
        uint64_t bytes = static_cast<uint64_t>(entry.count) * unit;
        if (bytes <= 4) {
            at = entry.at + 8;
            return true;
        }
        uint8_t field[4];
        if (!Read(entry.at + 8, field, 4))
            return false;
        at = U32(field);
        return at + bytes <= m_size;
    }

    template <class Visit>
    void ForEachEntry(uint64_t ifd, Visit visit) const
    {
        uint8_t count[2];
        if (!Read(ifd, count, 2))
            return;
        // A count larger than the segment ends at its end.
        for (uint64_t i = 0; i < U16(count); ++i) {
            Entry entry;
            entry.at = ifd + 2 + i * ENTRY_SIZE;
            uint8_t e[8];
            if (!Read(entry.at, e, sizeof(e)))
                return;
            entry.tag = U16(e);
            entry.type = U16(e + 2);
            entry.count = U32(e + 4);
            visit(entry);
        }
    }

    uint16_t U16(const uint8_t* p) const
    {
        return static_cast<uint16_t>(m_little ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
    }

    uint32_t U32(const uint8_t* p) const
    {
        return m_little ? p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24
                        : static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
    }

private:
    ByteSource& m_source;
    uint64_t m_base;
    uint32_t m_size;
    bool m_little = false;
};

bool ReadShort(const Tiff& tiff, const Entry& entry, uint16_t& value)
{
    uint64_t at;
    uint8_t v[2];
    if (entry.type != TYPE_SHORT || entry.count != 1 || !tiff.ValuesAt(entry, 2, at) || !tiff.Read(at, v, 2))
        return false;
    value = tiff.U16(v);
    return true;
}

bool ReadLong(const Tiff& tiff, const Entry& entry, uint32_t& value)
{
    uint64_t at;
    uint8_t v[4];
    if ((entry.type != TYPE_LONG && entry.type != TYPE_IFD) || entry.count != 1 || !tiff.ValuesAt(entry, 4, at) ||
        !tiff.Read(at, v, 4))
        return false;
    value = tiff.U32(v);
    return true;
}

// Up to size characters of an ASCII value; the rest of a longer value is not needed.
size_t ReadAscii(const Tiff& tiff, const Entry& entry, char* text, size_t size)
{
    uint64_t at;
    if (entry.type != TYPE_ASCII || !tiff.ValuesAt(entry, 1, at))
        return 0;
    size_t n = entry.count < size ? entry.count : size;
    return tiff.Read(at, reinterpret_cast<uint8_t*>(text), n) ? n : 0;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int DAYS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : DAYS[month - 1];
}

bool ParseNumber(const char* text, int digits, int& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "YYYY:MM:DD HH:MM:SS"; blanks, zeros and impossible dates are no date.
bool ParseDateTime(const char* t, DateTaken& date)
{
    if (t[4] != ':' || t[7] != ':' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return false;
    if (!ParseNumber(t, 4, date.year) || !ParseNumber(t + 5, 2, date.month) || !ParseNumber(t + 8, 2, date.day) ||
        !ParseNumber(t + 11, 2, date.hour) || !ParseNumber(t + 14, 2, date.minute) ||
        !ParseNumber(t + 17, 2, date.second))
        return false;
    return date.year >= 1 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month) && date.hour <= 23 && date.minute <= 59 && date.second <= 59;
}

// A decimal fraction of a second: "5" is 500 ms, "123456" is 123 ms; no digits, none.
int ParseSubSeconds(const char* text, size_t length)
{
    int millisecond = 0;
    bool digits = true;
    for (size_t i = 0; i < 3; ++i) {
        digits = digits && i < length && text[i] >= '0' && text[i] <= '9';
        millisecond = millisecond * 10 + (digits ? text[i] - '0' : 0);
    }
    return millisecond;
}

void ReadExifIfd(const Tiff& tiff, uint32_t ifd, ExifTags& tags)
{
    char date[DATE_LENGTH] = {};
    bool haveDate = false;
    char subSeconds[3] = {};
    size_t subSecondLength = 0;
    tiff.ForEachEntry(ifd, [&](const Entry& entry) {
        if (entry.tag == TAG_DATE_TIME_ORIGINAL)
            haveDate = ReadAscii(tiff, entry, date, DATE_LENGTH) == DATE_LENGTH;
        else if (entry.tag == TAG_SUB_SEC_TIME_ORIGINAL)
            subSecondLength = ReadAscii(tiff, entry, subSeconds, sizeof(subSeconds));
    });
    DateTaken parsed;
    if (!haveDate || !ParseDateTime(date, parsed))
        return;
    parsed.millisecond = ParseSubSeconds(subSeconds, subSecondLength);
    parsed.known = true;
    tags.dateTaken = parsed;
}

// Days from 0001-01-01 in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int year, int month, int day)
{
    static const int BEFORE_MONTH[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t y = year - 1;
    int64_t days = y * 365 + y / 4 - y / 100 + y / 400 + BEFORE_MONTH[month - 1] + day - 1;
    return days + (month > 2 && IsLeapYear(year) ? 1 : 0);
}

} // namespace

bool ReadExifTags(ByteSource& source, uint64_t offset, uint32_t size, ExifTags& tags)
{
    tags = ExifTags();
    static const uint8_t EXIF_ID[6] = {'E', 'x', 'i', 'f', 0, 0};
    uint8_t id[6];
    if (size < sizeof(id) || source.ReadAt(offset, id, sizeof(id)) != sizeof(id) ||
        std::memcmp(id, EXIF_ID, sizeof(id)) != 0)
        return false;
    Tiff tiff(source, offset + sizeof(id), size - static_cast<uint32_t>(sizeof(id)));
    uint32_t ifd0;
    if (!tiff.Open(ifd0))
        return false;
    // Only IFD0 and the Exif IFD it points to are read, never a chain, so no loop of
    // offsets can hold the reader.
    uint32_t exifIfd = 0;
    bool haveExifIfd = false;
    tiff.ForEachEntry(ifd0, [&](const Entry& entry) {
        uint16_t orientation;
        if (entry.tag == TAG_ORIENTATION && ReadShort(tiff, entry, orientation))
            tags.orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
        else if (entry.tag == TAG_EXIF_IFD)
            haveExifIfd = ReadLong(tiff, entry, exifIfd);
    });
    if (haveExifIfd)
        ReadExifIfd(tiff, exifIfd, tags);
    return true;
}

int64_t DateTakenMilliseconds(const DateTaken& date)
{
    int64_t seconds = DaysFromCivil(date.year, date.month, date.day) * 86400 + date.hour * 3600 + date.minute * 60 +
                      date.second;
    return seconds * 1000 + date.millisecond;
}
