// labelplu host: values between JSON and automation variants.
//
// JSON to variant (arguments):
//   integer             VT_I4, or VT_I8 when it does not fit 32 bits
//   other number        VT_R8
//   string              VT_BSTR
//   true, false         VT_BOOL
//   null                VT_EMPTY
//   array of arrays     a value array (VT_DISPATCH): each inner array is a row,
//                       its elements the cells (converted the same way; a
//                       short row is padded with empty cells); [] is an empty
//                       value array
//   {"file": PATH}      VT_BSTR holding the file's text (UTF-8)
//   {"csv": PATH}       a value array read from an RFC 4180 CSV file (UTF-8):
//                       every record is a row, the header row included as row
//                       0, every cell a string
//   {"storage": PATH}   a value array loaded from a storage file (the
//                       compressed format its SaveToFile writes)
// A relative PATH is taken relative to the base folder given to the call.
// Anything else (an array whose elements are not all arrays, an object of
// another shape, an integer beyond 64 bits, nesting deeper than
// kMaxValueDepth) is refused with a HostError.
//
// Variant to JSON (results and written-back arguments):
//   empty, null, a null object                  null
//   integers of every width, VT_ERROR           integer
//   single, double, decimal                     number
//   currency                                    number (the value / 10000)
//   date                                        text "dd.MM.yyyy hh:mm:ss" (the
//                                               date or time part alone when
//                                               the other is zero); a number of
//                                               days when outside years 1..9999
//   string                                      string
//   Boolean                                     true or false
//   value array (an object answering ISafeArray) array of rows
//   other object whose late-bound "xml"         {"document": TEXT}
//     property can be read
//   any other object                            {"object": null}
//   array (VT_ARRAY)                            nested arrays, first dimension
//                                               outermost
// By-reference values are read through. A type without a JSON form, a failing
// object, or nesting deeper than kMaxValueDepth (a value array holding itself)
// raises a HostError.
//
// Value arrays are created through the class table (ValueArrays.h), so
// converting an array argument needs the plug-in loaded.
#ifndef LABELPLU_HOST_JSONVARIANT_H
#define LABELPLU_HOST_JSONVARIANT_H

#include <filesystem>

#include <nlohmann/json.hpp>

#include "platform/ole/Variant.h"

namespace labelplu::host {

inline constexpr int kMaxValueDepth = 64;

// One argument as a variant.
ole::OleVariant JsonToVariant(const nlohmann::json& value,
                              const std::filesystem::path& baseDir = {});

// One value as JSON.
nlohmann::ordered_json VariantToJson(const VARIANT& value);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_JSONVARIANT_H
