#include "fonterrors.h"

#include <stddef.h>

const char *FontDialogErrorName(unsigned long code)
{
    switch (code) {
    case 0x0000: return NULL;
    case 0x0001: return "CDERR_STRUCTSIZE";
    case 0x0002: return "CDERR_INITIALIZATION";
    case 0x0003: return "CDERR_NOTEMPLATE";
    case 0x0004: return "CDERR_NOHINSTANCE";
    case 0x0005: return "CDERR_LOADSTRFAILURE";
    case 0x0006: return "CDERR_FINDRESFAILURE";
    case 0x0007: return "CDERR_LOADRESFAILURE";
    case 0x0008: return "CDERR_LOCKRESFAILURE";
    case 0x0009: return "CDERR_MEMALLOCFAILURE";
    case 0x000A: return "CDERR_MEMLOCKFAILURE";
    case 0x000B: return "CDERR_NOHOOK";
    case 0x000C: return "CDERR_REGISTERMSGFAIL";
    case 0xFFFF: return "CDERR_DIALOGFAILURE";
    default: return "Other Error";
    }
}
