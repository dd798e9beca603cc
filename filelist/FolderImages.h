// Which files of a dropped folder join the list, and in what order.
#pragma once

#include <string>
#include <vector>

// Name order as Explorer shows it: letters without regard to case, and runs of digits
// compared as numbers, so "IMG_2" comes before "IMG_10". Names equal in that order keep
// a fixed order by their bytes.
bool NaturalLess(const std::string& a, const std::string& b);

// The names that Select Files' filter offers (*.jpg, *.jpeg, *.jpe, *.jfif, *.bmp, *.png,
// *.gif, any case), in natural order.
std::vector<std::string> FolderImagesInOrder(std::vector<std::string> fileNames);
