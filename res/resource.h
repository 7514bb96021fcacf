/* Identifiers of Tessaro's resources and of the controls and commands in
 * them. Read by the resource compiler as well as by C++, so only #defines. */
#ifndef TESSARO_RESOURCE_H
#define TESSARO_RESOURCE_H

/* Dialogs */
#define IDD_ABOUTBOX            100
#define IDD_MAIN                102
#define IDD_VPK_VIEWER          130
#define IDD_EXTRACT_PROGRESS    160     /* the viewer's "Extract to..." progress */
#define IDD_FIND_IN_PACKS       170     /* the viewer's "Find in all packs..." */

/* Menus: the main window's bar, the viewer's bar, the entry list's pop-up */
#define IDR_MAIN_MENU           129
#define IDR_VIEWER_MENU         135
#define IDR_ENTRY_POPUP         136

/* Strings */
#define IDS_ABOUTBOX            101     /* system-menu item "&About Tessaro..." */

/* Icon, cursor and the main window's background picture (type "JPG") */
#define IDI_TESSARO             128
#define IDR_BACKGROUND_JPG      131
#define IDCUR_TESSARO           133     /* the credits panel's pointer */

/* Skin bitmaps of the list header (24 bits per pixel, 12 pixels high) */
#define IDB_HEADER_RIGHT        136     /* right edge of a column, 2 x 12 */
#define IDB_HEADER_BODY         152     /* body strip, stretched, 1 x 12 */
#define IDB_HEADER_LEFT         153     /* left edge of a column, 2 x 12 */

/* Skin bitmaps of the horizontal scroll bar */
#define IDB_HSCROLL_THUMB       137     /* 26 x 12 */
#define IDB_HSCROLL_RIGHT       138     /* right arrow, 26 x 12 */
#define IDB_HSCROLL_TRACK       139     /* stretched, 1 x 12 */
#define IDB_HSCROLL_LEFT        140     /* left arrow, 26 x 12 */

/* Skin bitmaps of the vertical scroll bar */
#define IDB_VSCROLL_UP          142     /* up arrow, 12 x 26 */
#define IDB_VSCROLL_TRACK       143     /* stretched, 12 x 1 */
#define IDB_VSCROLL_THUMB       144     /* 12 x 26 */
#define IDB_VSCROLL_DOWN        145     /* down arrow, 12 x 26 */
#define IDB_VSCROLL_TOP         146     /* top cap, 12 x 11 */
#define IDB_VSCROLL_CORNER      150     /* bottom corner, 11 x 11 */

/* Controls of the pack viewer (dialog 130) */
#define IDC_PACK_LIST           1000
#define IDC_ENTRY_LIST          1001
#define IDC_HORIZONTAL_DIVIDER  1002    /* hidden placeholder of the divider */
#define IDC_VERTICAL_DIVIDER    1003    /* hidden placeholder of the divider */
#define IDC_PACKS_CAPTION       1004    /* hidden: strip "VPK Files" */
#define IDC_CONTENTS_CAPTION    1005    /* hidden: strip "Contents" */
#define IDC_PREVIEW_CAPTION     1007    /* hidden: strip "Preview Area" */
#define IDC_PREVIEW_FRAME       1008    /* hidden: frame of the placeholder text */
#define IDC_PREVIEW_TEXT        1009    /* the preview's view, of whichever kind; a hidden
                                           placeholder in the resource */
#define IDC_PREVIEW_STATUS      1012    /* owner-drawn: what the preview shows */
#define IDC_ENTRY_FILTER        1013    /* the filter box above the entry list */

/* Controls of the extraction progress (dialog 160) */
#define IDC_EXTRACT_TEXT        1010    /* "Extracting N of M entries" */
#define IDC_EXTRACT_BAR         1011    /* owner-drawn bar */

/* Controls of "Find in all packs..." (dialog 170) */
#define IDC_FIND_PATTERN        1014
#define IDC_FIND_RESULTS        1015
#define IDC_FIND_STATUS         1016    /* owner-drawn: how the search stands */

/* Controls of the about box (dialog 100) */
#define IDC_CREDITS             1006    /* placeholder of the credits panel */

/* Commands */
#define ID_ABOUT                16      /* also the system-menu item's id */
#define ID_FILE_OPEN            32771
#define ID_TOOLS_VPK_VIEWER     32772
#define ID_EXTRACT              32773
#define ID_EXTRACT_TO           32774
#define ID_EXTRACT_ALL_TO       32775
#define ID_FIND_FILTER          32776   /* Ctrl+F: to the filter box */
#define ID_FIND_IN_PACKS        32777   /* Ctrl+Shift+F: "Find in all packs..." */
#define ID_SAVE_AS_PNG          32778
#define ID_SAVE_AS_VTF          32779
#define ID_OPEN_ENTRY           32780   /* the entry pop-up's default item */
#define ID_COPY_ENTRIES         32781   /* Ctrl+C in the entry list */

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

#endif /* TESSARO_RESOURCE_H */
