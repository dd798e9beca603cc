#include "framework/OlePicture.h"

#include <olectl.h>

namespace fw {

bool LoadOlePicture(HGLOBAL block, SIZE_T size, ComPtr<IPicture>& picture)
{
    picture.reset();
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(block, FALSE, stream.put())))
        return false;
    if (::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, picture.put_void()) != S_OK) {
        picture.reset();
        return false;
    }
    return static_cast<bool>(picture);
}

} // namespace fw
