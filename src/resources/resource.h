// Resource identifiers of Kvadra.DLL.
#pragma once

#define IDB_TESSERA   101
#define IDR_TESSERA   102
#define IDR_SIZECTL   106
#define IDR_GENPROP   111
#define IDR_CELLPROP  116
#define IDC_DROP_ALLOWED 203
#define IDC_DROP_REFUSED 204
