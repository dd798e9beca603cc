#include "filelist/RowText.h"

#include <cstdio>

std::string FormatRowNumber(int number)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%04d", number);
    return text;
}
