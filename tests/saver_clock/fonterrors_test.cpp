// The names the font dialog's failures are shown by.
#include <gtest/gtest.h>

#include "fonterrors.h"

namespace {

TEST(FontErrors, EveryCodeHasItsName)
{
    struct Case {
        unsigned long code;
        const char *name;
    } cases[] = {
        {0x0001, "CDERR_STRUCTSIZE"},      {0x0002, "CDERR_INITIALIZATION"}, {0x0003, "CDERR_NOTEMPLATE"},
        {0x0004, "CDERR_NOHINSTANCE"},     {0x0005, "CDERR_LOADSTRFAILURE"}, {0x0006, "CDERR_FINDRESFAILURE"},
        {0x0007, "CDERR_LOADRESFAILURE"},  {0x0008, "CDERR_LOCKRESFAILURE"}, {0x0009, "CDERR_MEMALLOCFAILURE"},
        {0x000A, "CDERR_MEMLOCKFAILURE"},  {0x000B, "CDERR_NOHOOK"},         {0x000C, "CDERR_REGISTERMSGFAIL"},
        {0xFFFF, "CDERR_DIALOGFAILURE"},   {0x000D, "Other Error"},          {0x1001, "Other Error"},
        {0x1002, "Other Error"},           {0x2001, "Other Error"},          {0xFFFE, "Other Error"},
        {0x10000, "Other Error"},          {0xFFFFFFFFul, "Other Error"},
    };
    for (const Case &c : cases)
        EXPECT_STREQ(c.name, FontDialogErrorName(c.code)) << "code 0x" << std::hex << c.code;
}

TEST(FontErrors, CancelShowsNothing)
{
    EXPECT_EQ(nullptr, FontDialogErrorName(0));
}

}  // namespace
