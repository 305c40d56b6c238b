// labelplu: the model and device interfaces a host reaches through the
// driver object (IDriverObject::GetModel) and the model's device methods.
//
// Every slot returns an HRESULT; on failure the thread's error information
// holds the message. Out strings are BSTRs and out interfaces references,
// both owned by the caller; out variants are cleared by the callee first
// and cleared by the caller afterwards. Call from the thread that makes the
// driver's CallEntry calls.
#ifndef LABELPLU_DEVICES_H
#define LABELPLU_DEVICES_H

#include "labelplu/oleauto.h"

namespace labelplu {

// A plug-in model answers both identifiers with the same slot table.
// {70231714-9996-413C-BFBB-F504227138B8}
inline constexpr IID IID_IModelPlu = {
    0x70231714, 0x9996, 0x413C, {0xBF, 0xBB, 0xF5, 0x04, 0x22, 0x71, 0x38, 0xB8}};
// {D8EB2570-D5AB-4357-86E6-6064DBDD7523}
inline constexpr IID IID_IModelPlu2 = {
    0xD8EB2570, 0xD5AB, 0x4357, {0x86, 0xE6, 0x60, 0x64, 0xDB, 0xDD, 0x75, 0x23}};
// {B911C0BF-C46E-4916-A7D7-5AB5CE9598E5}
inline constexpr IID IID_IDeviceItem = {
    0xB911C0BF, 0xC46E, 0x4916, {0xA7, 0xD7, 0x5A, 0xB5, 0xCE, 0x95, 0x98, 0xE5}};

// One configured device instance.
struct IDeviceItem : IUnknown {
  virtual HRESULT GetIsOn(VARIANT_BOOL* out) = 0;  // VARIANT_TRUE when switched on
  // Shows the device's settings dialog: 0 confirmed, -1 cancelled.
  virtual HRESULT ShowSettings(int32_t* out) = 0;
  // The device's settings document (VT_DISPATCH, an XML document object).
  virtual HRESULT GetSettingsXml(VARIANT* out) = 0;
  // Takes the device out of its list; *out is 0.
  virtual HRESULT Remove(int32_t* out) = 0;
};

// One plug-in model: what the driver drives, its parameters, and the
// device methods of its list. settings arguments are a settings document
// as text (VT_BSTR) or as a document object (VT_DISPATCH).
struct IModelPlu : IUnknown {
  virtual HRESULT GetCode(GUID* out) = 0;
  virtual HRESULT GetIdent(BSTR* out) = 0;
  virtual HRESULT GetName(BSTR* out) = 0;
  virtual HRESULT GetDeviceKind(BSTR* out) = 0;
  virtual HRESULT GetEquipmentClass(BSTR* out) = 0;
  virtual HRESULT GetVersion1(int32_t* out) = 0;
  virtual HRESULT GetVersion2(int32_t* out) = 0;
  virtual HRESULT GetVersion3(int32_t* out) = 0;
  virtual HRESULT GetVersion4(int32_t* out) = 0;
  virtual HRESULT GetUsesHost(int32_t* out) = 0;
  // The parameter description document as text.
  virtual HRESULT GetParamsXml(BSTR* out) = 0;
  virtual HRESULT GetReservedValue(int32_t* out) = 0;                    // -1
  virtual HRESULT GetReservedObject(int32_t index, IUnknown** out) = 0;  // null
  virtual HRESULT ReservedCall1() = 0;
  virtual HRESULT ReservedCall2() = 0;
  // The driver object's IDriverObject (as IUnknown).
  virtual HRESULT GetDriver(IUnknown** out) = 0;
  // The model description document (VT_DISPATCH).
  virtual HRESULT GetModelXml(VARIANT* out) = 0;
  // The device of the document's code, added from the document when absent.
  virtual HRESULT FindOrAddDevice(const VARIANT* settings, IUnknown** out) = 0;
  // Deletes the device whose code is the GUID given as four 32-bit words
  // (the GUID's 16 bytes in memory order); *out 0, or -1 when not found.
  virtual HRESULT DeleteDevice(uint32_t d0, uint32_t d1, uint32_t d2, uint32_t d3,
                               int32_t* out) = 0;
  // Keeps the whole settings document's text; *out 0.
  virtual HRESULT SetSettingsText(const VARIANT* settings, int32_t* out) = 0;
  // The device of the document's code, or null.
  virtual HRESULT FindDevice(const VARIANT* settings, IUnknown** out) = 0;
  // A new device from the document, inserted as number 1.
  virtual HRESULT InsertDevice(const VARIANT* settings, IUnknown** out) = 0;
};

// The same slot table under the second identifier; a model answers both.
struct IModelPlu2 : IModelPlu {};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_H
