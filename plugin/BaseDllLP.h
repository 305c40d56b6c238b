// The label-printer level of the driver object: device choice, template
// check, variable list and print.
#ifndef LABELPLU_PLUGIN_BASEDLLLP_H
#define LABELPLU_PLUGIN_BASEDLLLP_H

#include "BaseDllObj.h"

namespace labelplu {

class TBaseDllLP : public TBaseDllObj {
public:
  TBaseDllLP(const TDriverTables& tables, TCallEntry callEntry, TBaseDllObj* const* driverSlot,
             std::unique_ptr<TDevicesList> list);

  // The three print operations; a driver without them fails with 21011 and
  // the operation's name.
  virtual void fcl_CheckTemplate(TDeviceItem& device, VARIANT& arg, VARIANT& result);
  virtual void fcl_GetValuesName(TDeviceItem& device, VARIANT& arg, VARIANT& result);
  virtual void fcl_ExecutePrint(TDeviceItem& device, VARIANT& arg, VARIANT& result);
};

// "ВыбратьУстройство,ChoiceDevice": also the concrete driver's own method.
void ChoiceDeviceHandler(const TCallContext& ctx, std::span<VARIANT> args, VARIANT& result);

}  // namespace labelplu

#endif
