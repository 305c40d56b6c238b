// The base methods and properties every driver of the family answers.
#ifndef LABELPLU_PLUGIN_BASEMETHODS_H
#define LABELPLU_PLUGIN_BASEMETHODS_H

#include <span>

#include "plugin/MethodRecords.h"

namespace labelplu {

std::span<const MethodRecord> BaseMethodTable();
// Mutable: "__@@EventSupport" marks "УстройствоВключено" read-only for the
// life of the module.
std::span<PropertyRecord> BasePropertyTable();

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_BASEMETHODS_H
