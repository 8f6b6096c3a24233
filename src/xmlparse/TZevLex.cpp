#include "xmlparse/TZevLex.h"
