#ifndef PRINTFROMDLL_H
#define PRINTFROMDLL_H

/* The report printing library's call, shared by the library and its callers.
 * Handles are native pointers, so on 64-bit Linux the record is 24 bytes:
 * a 4-byte slot cannot hold an address. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The rows a window shows, in its order: every text UTF-8 and NUL-terminated.
 * A column's title is "" when the window does not show it. */
typedef struct PrintRecordset {
    int32_t columnCount;
    int32_t rowCount;
    const char *const *columnNames; /* columnCount entries */
    const char *const *columnTitles; /* columnCount entries */
    const char *const *cells; /* rowCount * columnCount entries, row after row */
    int32_t currentRow; /* -1 without a current row */
} PrintRecordset;

typedef struct TPrintFromDll {
    void *AppHandle; /* the parent window, a QWidget* */
    const PrintRecordset *Recordset; /* NULL before any search */
    int32_t ReportKind; /* 0: door-opening records of one room */
    int32_t Reserved; /* 0 */
} TPrintFromDll;

#if UINTPTR_MAX == 0xffffffffffffffffu
#ifdef __cplusplus
static_assert(sizeof(TPrintFromDll) == 24, "four slots, two of them addresses");
#else
_Static_assert(sizeof(TPrintFromDll) == 24, "four slots, two of them addresses");
#endif
#endif

/* Shows the report in a modal print preview with printing and PDF export;
 * an unknown kind returns at once. */
typedef void (*PrintForm_Show_Fn)(TPrintFromDll);
/* Writes the report as a PDF file; the number of pages, or -1 when the file
 * cannot be written or the kind is unknown. */
typedef int32_t (*PrintForm_ExportPdf_Fn)(TPrintFromDll, const char *utf8Path);

#ifdef __cplusplus
}
#endif

#endif
