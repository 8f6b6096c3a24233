#pragma once
// The application model: configuration, key bindings, document types with
// their autocompletion schemas, and the project.

#include "model/AttributeList.h"
#include "model/EListError.h"
#include "model/TAutoCompleteSchema.h"
#include "model/TFileType.h"
#include "model/TFileTypes.h"
#include "model/TacElement.h"
#include "model/XMLEscape.h"
