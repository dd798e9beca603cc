// libFuzzer target for the image header reader: any bytes, read as each image type, must
// neither read out of bounds nor claim a size the checks forbid. Run by tests/fuzz/run.sh.
#include "imaging/ImageHeader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* types[] = {IMAGE_TYPE_BMP, IMAGE_TYPE_JPG, IMAGE_TYPE_GIF, IMAGE_TYPE_PNG, IMAGE_TYPE_OTHERS,
                           ImageTypeFromSignature(data, size)};
    for (const char* type : types) {
        MemoryByteSource source(data, size);
        ImageDimensions dimensions;
        bool ok = ReadImageDimensions(type, source, dimensions);
        if (ok != (dimensions.width > 0 && dimensions.height > 0))
            std::abort();
    }
    return 0;
}
