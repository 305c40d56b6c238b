// labelplu: moving arguments between variables and packed arrays.
//
// A method argument list may arrive packed: as a one-dimensional variant
// array, or as a one-column value array (ISafeArray) whose rows hold the
// arguments. These functions unpack and pack such lists.
//
// Failures raise EProtectException 20028 ("Неверная структура параметра")
// when the packed value has the wrong shape. Null target pointers are skipped.
#ifndef LABELPLU_BASE_ARGS_H
#define LABELPLU_BASE_ARGS_H

#include <span>

#include "labelplu/oleauto.h"

namespace labelplu {

// Copies the elements of the one-dimensional array that array holds (also by
// reference), in order from its lower bound, into targets; targets beyond the
// element count are cleared to empty. Another value raises 20028.
void GetArgs(const VARIANT& array, std::span<VARIANT* const> targets);

// The reverse: stores copies of values into the elements of the
// one-dimensional array that array holds, in order from its lower bound
// (converted to the element type of a typed array). An array with fewer
// elements than values, or a value that is not a one-dimensional array,
// raises 20028.
void PutArgs(const VARIANT& array, std::span<const VARIANT> values);

// value is a variant array: as GetArgs. Otherwise value must be a value
// array (an object answering ISafeArray) of exactly one column: its rows
// 0, 1, ... go into the targets, targets beyond the row count are cleared to
// empty. Any other value or shape raises 20028.
void UnpackArgs(const VARIANT& value, std::span<VARIANT* const> targets);

}  // namespace labelplu

#endif  // LABELPLU_BASE_ARGS_H
