#include "host/HostMessages.h"

namespace labelplu::host {

namespace {

using enum HostMessage;

constexpr HostMessageRow kRows[] = {
    {TryHelp, "Try 'labelhost --help'.", "Справка: 'labelhost --help'."},
};

static_assert(std::size(kRows) == static_cast<size_t>(HostMessage::Count),
              "every host message needs its row");

}  // namespace

std::span<const HostMessageRow> HostMessageRows() {
  return kRows;
}

std::string_view HostMessagePattern(HostMessage id) {
  const HostMessageRow& row = kRows[static_cast<size_t>(id)];
  return UserLanguageIsRussian() ? row.Russian : row.English;
}

}  // namespace labelplu::host
