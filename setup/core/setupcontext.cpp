#include "setupcontext.h"

SetupContext setupContext;
