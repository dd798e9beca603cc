#include "imaging/ImageFile.h"

#include "framework/Handles.h"
#include "framework/OlePicture.h"
#include "framework/Text.h"
#include "imaging/ImageHeader.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

// Reads the file through one window of bytes, so walking a header costs a read or two.
class FileByteSource : public ByteSource {
public:
    explicit FileByteSource(HANDLE file) : m_file(file), m_buffer(WINDOW_SIZE) {}

    size_t ReadAt(uint64_t offset, uint8_t* buffer, size_t size) override
    {
        size_t done = 0;
        while (done < size) {
            uint64_t at = offset + done;
            if ((at < m_start || at >= m_start + m_filled) && !Fill(at))
                break;
            size_t count = static_cast<size_t>(std::min<uint64_t>(size - done, m_start + m_filled - at));
            std::memcpy(buffer + done, m_buffer.data() + (at - m_start), count);
            done += count;
        }
        return done;
    }

private:
    static constexpr DWORD WINDOW_SIZE = 16 * 1024;

    bool Fill(uint64_t at)
    {
        m_filled = 0;
        LARGE_INTEGER position;
        position.QuadPart = static_cast<LONGLONG>(at);
        DWORD read = 0;
        if (at > static_cast<uint64_t>(LLONG_MAX) || !::SetFilePointerEx(m_file, position, nullptr, FILE_BEGIN) ||
            !::ReadFile(m_file, m_buffer.data(), WINDOW_SIZE, &read, nullptr))
            return false;
        m_start = at;
        m_filled = read;
        return read > 0;
    }

    HANDLE m_file;
    std::vector<uint8_t> m_buffer;
    uint64_t m_start = 0;
    uint64_t m_filled = 0;
};

// Opened for reading with writers kept out while it is read. The name is the one the file
// system keeps, so its case is the file's own whatever the path says.
fw::unique_file OpenImageFile(const std::string& path, std::string& fileName)
{
    if (path.empty())
        return fw::unique_file();
    // Wide, for a name longer than the narrow find data holds.
    WIN32_FIND_DATAW found;
    fw::unique_find find(::FindFirstFileW(fw::ToWide(path).c_str(), &found));
    if (!find)
        return fw::unique_file();
    fw::unique_file file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        fileName = fw::FromWide(found.cFileName, -1).c_str();
    return file;
}

bool ReadWholeFile(HANDLE file, void* buffer, DWORD size)
{
    LARGE_INTEGER start = {};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!::ReadFile(file, static_cast<BYTE*>(buffer) + done, size - done, &read, nullptr) || read == 0)
            return false;
        done += read;
    }
    return true;
}

// HIMETRIC is hundredths of a millimetre: 2540 to the inch.
SIZE HimetricToPixels(HDC dc, LONG width, LONG height)
{
    return {::MulDiv(width, ::GetDeviceCaps(dc, LOGPIXELSX), 2540), ::MulDiv(height, ::GetDeviceCaps(dc, LOGPIXELSY), 2540)};
}

} // namespace

CImageFile::~CImageFile()
{
    FreeImage();
}

bool CImageFile::Load(const std::string& path)
{
    // Whatever the new file turns out to be, the old picture goes.
    FreeImage();
    fw::unique_file file = OpenImageFile(path, m_fileName);
    if (!file)
        return false;
    ImageDimensions ignored;
    ReadHeader(file.get(), ignored);
    // The picture loader knows nothing of EXIF: a turned or mirrored JPEG goes through GDI+.
    if (m_type == IMAGE_TYPE_PNG || m_orientation != 1)
        return SUCCEEDED(m_image.LoadFromFile(path, m_orientation));
    if (m_type == IMAGE_TYPE_OTHERS)
        return false;
    return LoadPicture(file.get());
}

bool CImageFile::LoadPicture(HANDLE file)
{
    LARGE_INTEGER fileSize;
    // The picture loader takes a LONG size; anything larger is no picture it could load.
    if (!::GetFileSizeEx(file, &fileSize) || fileSize.QuadPart <= 0 || fileSize.QuadPart > LONG_MAX)
        return false;
    DWORD size = static_cast<DWORD>(fileSize.QuadPart);
    fw::unique_hglobal memory(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!memory)
        return false;
    {
        fw::GlobalLockGuard lock(memory.get());
        if (!lock.get() || !ReadWholeFile(file, lock.get(), size))
            return false;
    }
    return fw::LoadOlePicture(memory.get(), size, m_picture);
}

bool CImageFile::LoadHeader(const std::string& path)
{
    FreeImage();
    fw::unique_file file = OpenImageFile(path, m_fileName);
    if (!file)
        return false;
    ImageDimensions size;
    bool ok = ReadHeader(file.get(), size);
    m_headerSize = {size.width, size.height};
    return ok;
}

bool CImageFile::ReadHeader(HANDLE file, ImageDimensions& size)
{
    FileByteSource source(file);
    uint8_t signature[2] = {};
    m_type = ImageTypeFromSignature(signature, source.ReadAt(0, signature, sizeof(signature)));
    ImageHeaderInfo header;
    bool ok = ReadImageHeader(m_type, source, header);
    size = header.size;
    m_orientation = header.orientation;
    m_dateTaken = header.dateTaken;
    return ok;
}

SIZE CImageFile::GetSize(HDC dc) const
{
    if (m_image.GetBitmap())
        return {m_image.GetWidth(), m_image.GetHeight()};
    if (!m_picture)
        return m_headerSize;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    m_picture->get_Width(&width);
    m_picture->get_Height(&height);
    if (dc)
        return HimetricToPixels(dc, width, height);
    fw::WindowDC screen(nullptr);
    return HimetricToPixels(screen.get(), width, height);
}

bool CImageFile::Draw(HDC dc, const RECT& destination, const RECT* bounds) const
{
    if (!dc)
        return false;
    RECT rect = destination;
    if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0) {
        SIZE natural = GetSize(dc);
        rect = {0, 0, natural.cx, natural.cy};
    }
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (m_picture) {
        OLE_XSIZE_HIMETRIC hmWidth = 0;
        OLE_YSIZE_HIMETRIC hmHeight = 0;
        m_picture->get_Width(&hmWidth);
        m_picture->get_Height(&hmHeight);
        // HIMETRIC runs upwards: the source starts at the bottom edge.
        m_picture->Render(dc, rect.left, rect.top, width, height, 0, hmHeight, hmWidth, -hmHeight, bounds);
        return true;
    }
    if (m_image.GetBitmap())
        m_image.Draw(dc, rect);
    return true;
}

void CImageFile::FreeImage()
{
    m_picture.reset();
    m_image.DestroyBitmap();
    m_headerSize = {};
}
