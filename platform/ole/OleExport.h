// labelplu automation runtime: visibility of the C++ helpers.
//
// The runtime is a shared library built with hidden visibility. The C++
// helpers that other libraries of the project call (and the exception classes
// they catch by type) are marked LP_OLE_EXPORT; header-only helpers need no
// mark.
#ifndef LABELPLU_PLATFORM_OLE_OLEEXPORT_H
#define LABELPLU_PLATFORM_OLE_OLEEXPORT_H

#define LP_OLE_EXPORT __attribute__((visibility("default")))

#endif  // LABELPLU_PLATFORM_OLE_OLEEXPORT_H
