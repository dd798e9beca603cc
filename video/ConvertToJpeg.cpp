#include "video/ConvertToJpeg.h"

#include "imaging/DibImage.h"

#include <windows.h>

bool ConvertToJpeg(const std::string& sourcePath, const std::string& frameFileName)
{
    CDibImage image;
    if (FAILED(image.LoadFromFile(sourcePath)))
        return false;
    if (image.SaveAsJpeg(frameFileName))
        return true;
    ::DeleteFileA(frameFileName.c_str());
    return false;
}
