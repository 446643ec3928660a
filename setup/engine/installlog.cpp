#include "installlog.h"

InstallLog installLog;
