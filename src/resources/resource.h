// Resource identifiers of Kvadra.DLL.
#pragma once

#define IDB_TESSERA   101
#define IDR_TESSERA   102
#define IDR_SIZECTL   106
#define IDR_GENPROP   111
#define IDR_CELLPROP  116

// Property pages: dialog templates and their page information strings.
#define IDS_SIZECTL_TITLE     103
#define IDS_SIZECTL_HELPFILE  104
#define IDS_SIZECTL_DOC       105
#define IDD_SIZECTL           107
#define IDS_GENPROP_TITLE     108
#define IDS_GENPROP_HELPFILE  109
#define IDS_GENPROP_DOC       110
#define IDD_GENPROP           112
#define IDS_CELLPROP_TITLE    113
#define IDS_CELLPROP_HELPFILE 114
#define IDS_CELLPROP_DOC      115
#define IDD_CELLPROP          117

// Controls of the Control Size page.
#define IDC_SIZE_WIDTH   201
#define IDC_SIZE_HEIGHT  202

// Controls of the General page.
#define IDC_GEN_COLS           203
#define IDC_GEN_ROWS           204
#define IDC_GEN_FIXEDCOLS      205
#define IDC_GEN_FIXEDROWS      206
#define IDC_GEN_SCROLLBARS     207
#define IDC_GEN_BORDERSTYLE    208
#define IDC_GEN_ENABLED        209
#define IDC_GEN_EDITMULTILINE  210
#define IDC_GEN_SHOWCELLHINT   211
#define IDC_GEN_DRAWSELECTION  212
#define IDC_GEN_AUTOADJUST     213
#define IDC_GEN_RANGESELECT    214
#define IDC_GEN_ROWSIZING      215
#define IDC_GEN_COLSIZING      216
#define IDC_GEN_TABSTOP        217
#define IDC_GEN_FIXEDWORDWRAP  218

// Controls of the Cells page.
#define IDC_CELL_EDITABLE   210
#define IDC_CELL_VALUE      211
#define IDC_CELL_HINT       212
#define IDC_CELL_NUMFORMAT  213
#define IDC_CELL_DTFORMAT   214
#define IDC_CELL_WORDWRAP   215
#define IDC_CELL_CALENDAR   216
#define IDC_CELL_BUTTON     217
#define IDC_CELL_COMBOBOX   218
#define IDC_CELL_ALIGNMENT  219
#define IDC_CELL_TYPE       220
#define IDC_CELL_EDIT       221
#define IDC_DROP_ALLOWED 203
#define IDC_DROP_REFUSED 204
