// labelplu: the parameter list's own type descriptor.
//
// RequestParams and its operations are declared in include/labelplu/plugin.h and
// implemented in RequestParams.cpp. A list created with a null class reference gets
// this descriptor ("TParams").
#ifndef LABELPLU_VALUES_REQUESTPARAMS_H
#define LABELPLU_VALUES_REQUESTPARAMS_H

#include "labelplu/plugin.h"

namespace labelplu {

extern const RequestParamsClass kRequestParamsClass;

}  // namespace labelplu

#endif  // LABELPLU_VALUES_REQUESTPARAMS_H
