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
#include "model/ApplicationCommands.h"
#include "model/BuiltInConfig.h"
#include "model/ColorNames.h"
#include "model/EConvertError.h"
#include "model/EditorCommands.h"
#include "model/FileNameHelpers.h"
#include "model/IntegerText.h"
#include "model/KeyText.h"
#include "model/ModelModule.h"  // ConfigInfo(), Project(), StartModel(), StopModel()
#include "model/TConfigFont.h"
#include "model/TConfigInfo.h"
#include "model/TProject.h"
#include "model/TShortcutItem.h"
