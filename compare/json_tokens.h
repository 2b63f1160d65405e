// jsmn, the JSON tokenizer, as this program uses it: each token knows its
// container (parent links), and primitives are checked strictly. Its functions
// are compiled once, in json_tokens.cpp; every other file gets declarations.
#pragma once

#define JSMN_PARENT_LINKS
#define JSMN_STRICT
#ifndef GLINSPECT_JSMN_IMPLEMENTATION
#define JSMN_HEADER
#endif
#include <jsmn.h>
