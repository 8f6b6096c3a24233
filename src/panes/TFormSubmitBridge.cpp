#include "panes/TFormSubmitBridge.h"

const char* const TFormSubmitBridge::ChannelName = "xmlplivekForms";

void TFormSubmitBridge::submit(const QVariantList& fields)
{
  if (OnSubmit) OnSubmit(fields);
}
