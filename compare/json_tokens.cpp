// The one copy of jsmn's functions.
#define GLINSPECT_JSMN_IMPLEMENTATION
#include "compare/json_tokens.h"
