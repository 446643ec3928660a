// Names of the common-dialog error codes, as the clock's font dialog reports them.
#ifndef FONTERRORS_H
#define FONTERRORS_H

// NULL for 0 (the user cancelled: nothing to report), "Other Error" for codes of no name.
const char *FontDialogErrorName(unsigned long code);

#endif
