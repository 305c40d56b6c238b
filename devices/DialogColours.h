// The process-wide colours of the settings dialogs, from the host's
// "ColorItem" element; -1 means "not set".
#ifndef LABELPLU_DEVICES_DIALOGCOLOURS_H
#define LABELPLU_DEVICES_DIALOGCOLOURS_H

#include <cstdint>

namespace labelplu {

struct DialogColours {
  int32_t Form = -1;
  int32_t Body = -1;
  int32_t Button = -1;
  int32_t Edit = -1;
  int32_t Border = -1;
  int32_t Font = -1;
};

// The colours in force (read by the dialogs on the host's thread).
DialogColours CurrentDialogColours();
void SetDialogColours(const DialogColours& colours);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_DIALOGCOLOURS_H
