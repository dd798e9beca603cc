// Resource ids, grouped by the window that uses them. Included by C++ and by windres.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Application
#define IDR_MAINFRAME               128
#define IDR_BUSY_GIF                133
#define IDS_APP_TITLE               0xE000  // caption of every message box (framework)

// About box
#define IDD_ABOUTBOX                100
#define IDB_ABOUT_BANNER            129
#define IDS_ABOUTBOX                101
#define IDM_ABOUTBOX                0x0010
#define IDC_MAIL_LINK               1010
#define IDC_WEB_LINK                1011
#define IDC_VERSION_LABEL           1012

// Main window
#define IDD_MAIN                    102
#define IDR_LIST_MENU               132
#define IDC_FILE_LIST               1117
#define IDC_CLOSE                   1013
#define IDC_SELECT_FILES            1009
#define IDC_MAKE_VIDEO              1010
#define ID_VIEW_IMAGE               32772
#define ID_REMOVE_SELECTED          32774
#define ID_REMOVE_ALL               32775

// Image preview
#define IDD_IMAGE_PREVIEW           5181
#define IDC_PREVIEW_PICTURE         5038
#define IDS_IMAGE_PREVIEW_TITLE     103

// Work dialog
#define IDD_WAIT                    5053
#define IDC_WAIT_LABEL              5056
#define IDC_WAIT_ANIMATION          5038
#define IDC_WAIT_PROGRESS           1000
#define IDC_WAIT_COUNT              5057
#define IDS_LOADING_FILES           104
#define IDS_MAKING_VIDEO            105
#define IDS_FILE_LIMIT              106
#define IDS_TEMP_PATH_MISSING       108
#define IDS_SELECT_IMAGES           109
#define IDS_VIDEO_SUCCESS           110
#define IDS_VIDEO_FAILED            111
#define IDS_MISSING_FILE            113
#define IDS_TEMP_FULL               114
#define IDS_FRAME_WRITE_FAILED      115
#define IDS_VIDEO_FAILED_BECAUSE    116
#define IDS_FILE_COUNT              117
#define IDS_FRAME_COUNT             118
#define IDS_TIME_LEFT               119
#define IDS_SECONDS                 120
#define IDS_ONE_MINUTE              121
#define IDS_MINUTES                 122
#define IDS_HOURS                   123
#define IDS_ENCODER_NEEDED          124  // shown below IDS_MISSING_FILE
// Why an encoder that Windows would not run, or ended, said nothing itself.
#define IDS_ENCODER_NOT_STARTED     140
#define IDS_ENCODER_ENDED           141
#define IDS_DLL_MISSING             142
#define IDS_NOT_FOR_THIS_WINDOWS    143
#define IDS_DLL_MISMATCH            144
#define IDS_DLL_INIT_FAILED         145

// Video settings dialog
#define IDD_VIDEO_SETTINGS          129
#define IDS_SETTINGS_NOT_KEPT       131
#define IDC_DEST_FILE               1004
#define IDC_TEMP_PATH               1007
#define IDC_SORT_BY_TIME            1008
#define IDC_BROWSE_DEST             1009
#define IDC_BROWSE_TEMP             1010
#define IDC_VIDEO_SIZE              1024
#define IDC_VIDEO_TYPE              1025
#define IDC_FRAME_RATE              1026
#define IDC_DEFLICKER               1027
#define IDC_FRAMING                 1028
#define IDC_QUALITY                 1040
#define IDC_EVERY_NTH               1041
#define IDC_EVERY_NTH_SPIN          1042
#define IDC_VIDEO_SUMMARY           1043
#define IDC_STAMP                   1044
#define IDC_PREVIEW                 1045
// What the video will be: "%s, %s, %s at %s fps" over photos, frames and length.
#define IDS_VIDEO_SUMMARY           150
#define IDS_PHOTOS                  151
#define IDS_ONE_PHOTO               152
#define IDS_FRAMES                  153
#define IDS_ONE_FRAME               154
#define IDS_LENGTH_SECONDS          155
#define IDS_LENGTH_MINUTES          156
#define IDS_LENGTH_HOURS            157
#define IDS_OPEN_VIDEO              158
#define IDS_MAKING_PREVIEW          159
#define IDS_OPEN_FAILED             170
