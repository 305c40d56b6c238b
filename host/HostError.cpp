#include "host/HostError.h"

#include <cstdio>

#include "platform/ole/ErrorInfo.h"

namespace labelplu::host {

std::string OleFailureText(HRESULT hr) {
  std::string text = ole::TakeErrorText();
  if (text.empty()) text = ole::HResultText(hr);
  char code[32];
  std::snprintf(code, sizeof code, " (HRESULT 0x%08X)", static_cast<unsigned>(hr));
  return text + code;
}

void ThrowOleFailure(HRESULT hr, const std::string& what) {
  throw HostError(what + ": " + OleFailureText(hr));
}

}  // namespace labelplu::host
