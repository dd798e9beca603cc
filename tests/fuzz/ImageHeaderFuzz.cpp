// libFuzzer target for the image header reader and the EXIF reader inside it: any bytes, read
// as each image type, must neither read out of bounds nor claim a size, orientation or date
// the checks forbid. Run by tests/fuzz/run.sh.
#include "imaging/ImageHeader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* types[] = {IMAGE_TYPE_BMP, IMAGE_TYPE_JPG, IMAGE_TYPE_GIF, IMAGE_TYPE_PNG, IMAGE_TYPE_OTHERS,
                           ImageTypeFromSignature(data, size)};
    for (const char* type : types) {
        MemoryByteSource source(data, size);
        ImageHeaderInfo header;
        bool ok = ReadImageHeader(type, source, header);
        const DateTaken& date = header.dateTaken;
        if (ok != (header.size.width > 0 && header.size.height > 0) || header.orientation < 1 ||
            header.orientation > 8 || (date.known && (date.month < 1 || date.month > 12 || date.day < 1 ||
                                                      date.day > 31 || date.hour > 23 || date.millisecond > 999)))
            std::abort();
    }
    return 0;
}
