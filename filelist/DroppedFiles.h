// The paths a drop of files from Explorer hands to the list.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Every dropped path in the drop's order; a dropped folder stands for the images directly
// inside it, in natural name order.
std::vector<std::string> ReadDroppedPaths(HDROP drop);
