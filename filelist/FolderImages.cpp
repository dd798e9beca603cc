#include "filelist/FolderImages.h"

#include <algorithm>
#include <string_view>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

unsigned char Folded(char c)
{
    return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

// The run of digits from `at`, without its leading zeros; `at` moves past the run.
std::string_view NumberAt(const std::string& text, size_t& at)
{
    while (at < text.size() && text[at] == '0' && at + 1 < text.size() && IsDigit(text[at + 1]))
        ++at;
    size_t start = at;
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return std::string_view(text).substr(start, at - start);
}

// Below, equal or above zero. Numbers are compared by length first, so no run of digits,
// however long, has to fit into an integer.
int CompareNaturally(const std::string& a, const std::string& b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            std::string_view x = NumberAt(a, i);
            std::string_view y = NumberAt(b, j);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (int order = x.compare(y))
                return order;
            continue;
        }
        if (Folded(a[i]) != Folded(b[j]))
            return Folded(a[i]) < Folded(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    return (i < a.size()) - (j < b.size());
}

bool IsImageFileName(const std::string& name)
{
    static const char* const EXTENSIONS[] = {".jpg", ".jpeg", ".jpe", ".jfif", ".bmp", ".png", ".gif"};
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(Folded(c));
    return std::find(std::begin(EXTENSIONS), std::end(EXTENSIONS), extension) != std::end(EXTENSIONS);
}

} // namespace

bool NaturalLess(const std::string& a, const std::string& b)
{
    int order = CompareNaturally(a, b);
    return order != 0 ? order < 0 : a < b;
}

std::vector<std::string> FolderImagesInOrder(std::vector<std::string> fileNames)
{
    fileNames.erase(std::remove_if(fileNames.begin(), fileNames.end(),
                                   [](const std::string& name) { return !IsImageFileName(name); }),
                    fileNames.end());
    std::sort(fileNames.begin(), fileNames.end(), NaturalLess);
    return fileNames;
}
