/* oleauto.h compiled as C: the layouts a C caller sees, for LayoutTest.cpp
 * to compare with the C++ ones. */
#include "labelplu/oleauto.h"

_Static_assert(sizeof(VARIANT) == 16, "VARIANT is 16 bytes");
_Static_assert(sizeof(GUID) == 16, "GUID is 16 bytes");

const size_t lpCLayout[] = {
    sizeof(VARIANT),
    offsetof(VARIANT, llVal),
    sizeof(GUID),
    offsetof(GUID, Data4),
    sizeof(SAFEARRAYBOUND),
    offsetof(SAFEARRAY, cbElements),
    offsetof(SAFEARRAY, cLocks),
    offsetof(SAFEARRAY, pvData),
    offsetof(SAFEARRAY, rgsabound),
    sizeof(DISPPARAMS),
    offsetof(DISPPARAMS, cArgs),
    offsetof(DISPPARAMS, cNamedArgs),
    sizeof(EXCEPINFO),
    offsetof(EXCEPINFO, scode),
};
const size_t lpCLayoutCount = sizeof lpCLayout / sizeof lpCLayout[0];
