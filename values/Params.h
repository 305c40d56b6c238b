// labelplu: the parameter list's own type descriptor.
//
// TParams and its operations are declared in include/labelplu/plugin.h and
// implemented in Params.cpp. A list created with a null class reference gets
// this descriptor ("TParams").
#ifndef LABELPLU_VALUES_PARAMS_H
#define LABELPLU_VALUES_PARAMS_H

#include "labelplu/plugin.h"

namespace labelplu {

extern const TParamsClass kTParamsClass;

}  // namespace labelplu

#endif  // LABELPLU_VALUES_PARAMS_H
