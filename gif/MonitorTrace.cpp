#include "gif/MonitorTrace.h"

#include "framework/Handles.h"

#include <windows.h>
#include <cstdarg>
#include <cstring>

void MonitorTrace(const char* format, ...)
{
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    int length = ::wvsprintfA(line, format, arguments);
    va_end(arguments);

    // Opened only: the monitor owns the section, and without one nothing is written.
    fw::unique_handle section(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, "HTMLManager"));
    if (section) {
        fw::unique_view view(::MapViewOfFile(section.get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
        MEMORY_BASIC_INFORMATION region{};
        // The section's size is the monitor's choice: never write past the mapped view.
        if (view && length > 0 && ::VirtualQuery(view.get(), &region, sizeof(region)) == sizeof(region)
            && region.RegionSize > 0) {
            size_t count = static_cast<size_t>(length) + 1;
            if (count > region.RegionSize)
                count = region.RegionSize;
            auto* target = static_cast<char*>(view.get());
            std::memcpy(target, line, count);
            target[count - 1] = '\0';
        }
    }
    // The monitor reads at its own pace; the pause gives it time to see each line.
    ::Sleep(100);
}
