#include "wizard.h"

int pageResult;
char userName[NAME_BYTES];
char division[NAME_BYTES];
char defaultFolder[MAX_PATH_BYTES];
