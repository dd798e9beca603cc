// The program's version and maker, in one place: the version resource, the About box and the
// release script (tools/release.sh) read them here.
#pragma once

#define LUMVEX_VERSION_MAJOR 1
#define LUMVEX_VERSION_MINOR 0
#define LUMVEX_VERSION_PATCH 0
#define LUMVEX_VERSION_BUILD 1
#define LUMVEX_MAKER "Lumvex"

// windres joins no adjacent strings in a dialog, so each text is made by one stringizing.
#define LUMVEX_TEXT2(x) #x
#define LUMVEX_TEXT(x) LUMVEX_TEXT2(x)
#define LUMVEX_VERSION_DOTS LUMVEX_VERSION_MAJOR.LUMVEX_VERSION_MINOR.LUMVEX_VERSION_PATCH.LUMVEX_VERSION_BUILD
#define LUMVEX_VERSION_TEXT LUMVEX_TEXT(LUMVEX_VERSION_DOTS)
#define LUMVEX_ABOUT_VERSION LUMVEX_TEXT(LumvexTimeLapseVideo Version LUMVEX_VERSION_DOTS)
