// One image file opened for inspection or display: type from its first two bytes, PNG
// decoded through GDI+ into a DIB, BMP/JPEG/GIF through the OLE picture loader.
#pragma once

#include "framework/ComPtr.h"
#include "imaging/DibImage.h"
#include "imaging/ImageHeader.h"

#include <ocidl.h>
#include <olectl.h>
#include <string>

class CImageFile {
public:
    CImageFile() = default;
    ~CImageFile();
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

    bool Load(const std::string& path);
    // Type, file name and the size the image's header claims, without decoding the picture:
    // GetSize then reports that size and Draw draws nothing. False when the header is cut
    // off or fails its checks (size 0 x 0).
    bool LoadHeader(const std::string& path);
    // Pixels; a picture's physical size is converted on the DC, or the screen when none.
    SIZE GetSize(HDC dc = nullptr) const;
    // All-zero rectangle: natural size at the top-left corner.
    bool Draw(HDC dc, const RECT& destination, const RECT* bounds = nullptr) const;
    std::string GetType() const { return m_type; }
    std::string GetFileName() const { return m_fileName; }
    // From the file's EXIF, read by both loads; 1 (upright) when it has none. Kept, like the
    // type, until the next load.
    int GetOrientation() const { return m_orientation; }
    DateTaken GetDateTaken() const { return m_dateTaken; }
    void FreeImage();

private:
    bool LoadPicture(HANDLE file);
    // Type and header of the opened file; false when the header fails its checks.
    bool ReadHeader(HANDLE file, ImageDimensions& size);

    fw::ComPtr<IPicture> m_picture;
    // Drawing borrows a memory DC, which the image tracks.
    mutable CDibImage m_image;
    std::string m_type = IMAGE_TYPE_OTHERS;
    std::string m_fileName;
    SIZE m_headerSize = {};
    int m_orientation = 1;
    DateTaken m_dateTaken;
};
