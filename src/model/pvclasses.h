#pragma once
// The application model: configuration, key bindings, document types with
// their autocompletion schemas, and the project.

#include "model/AttributeList.h"
