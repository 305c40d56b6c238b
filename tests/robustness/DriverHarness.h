// The driver object in process, as a host drives it through Dispatch, for
// the resource-bound tests: requests with their time and peak memory.
#ifndef LABELPLU_TESTS_ROBUSTNESS_DRIVERHARNESS_H
#define LABELPLU_TESTS_ROBUSTNESS_DRIVERHARNESS_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "labelplu/errors.h"
#include "platform/ole/Variant.h"
#include "plugin/SpoolerLabelDriver.h"
#include "print/PrinterDevice.h"
#include "tests/robustness/ResourceMeter.h"
#include "values/RequestParams.h"

namespace labelplu::test {

using ole::OleVariant;

struct ParamsDeleter {
  void operator()(RequestParams* p) const { RequestParams::Destroy(p); }
};
using ParamsPtr = std::unique_ptr<RequestParams, ParamsDeleter>;

class DriverBounds : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LANG", "ru_RU.UTF-8", 1);
    // Not the device fixture (tests/support/PrinterDeviceFixture.h): the
    // driver owns its device list, and the devices come from the requests
    // under test, as a host adds them.
    m_driver = ole::MakeCom<SpoolerLabelDriver>(
        nullptr, &m_slot, std::make_unique<PrinterDeviceList>("labelplu.plu"));
    m_slot = m_driver.get();
  }

  // The parameter list of one request (kind 1 call, 2 get, 3 set), as a
  // host hands it over.
  static ParamsPtr Params(const char* name, int32_t kind, std::initializer_list<OleVariant> args) {
    ParamsPtr params(RequestParams::Create());
    params->Add(OleVariant().get());
    params->Add(OleVariant(name).get());
    params->Add(OleVariant(kind).get());
    for (const OleVariant& arg : args) params->Add(arg.get());
    return params;
  }
  // Runs one request; the list written back.
  ParamsPtr Request(const char* name, int32_t kind, std::initializer_list<OleVariant> args = {}) {
    ParamsPtr params = Params(name, kind, args);
    m_driver->Dispatch(params.get(), nullptr);
    return params;
  }
  // The code and text a request fails with (0 and "" when it succeeds; -1
  // for an error without a code, which leaves the module as a plain
  // std::exception, as a host catches it).
  std::pair<int32_t, std::string> Failure(const char* what, const char* name, int32_t kind,
                                          std::initializer_list<OleVariant> args,
                                          int64_t maxGrowthMb) {
    std::pair<int32_t, std::string> failure{0, ""};
    ParamsPtr params = Params(name, kind, args);
    // Only the driver's own work is measured: the host holds the list.
    const Usage usage = Measure(what, [&] {
      try {
        m_driver->Dispatch(params.get(), nullptr);
      } catch (const EProtectException& e) {
        failure = {e.Code, e.what()};
      } catch (const std::exception& e) {
        failure = {-1, e.what()};
      }
    });
    EXPECT_LT(usage.peakGrowthMb, maxGrowthMb) << what;
    return failure;
  }
  int32_t DeviceCount() {
    ParamsPtr params = Request("КоличествоУстройств", 2);
    VARIANT v = params->Get(0);
    return OleVariant::Adopt(v).get().lVal;
  }

  DriverObject* m_slot = nullptr;
  ole::ComPtr<SpoolerLabelDriver> m_driver;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_ROBUSTNESS_DRIVERHARNESS_H
