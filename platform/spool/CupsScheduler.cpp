// labelplu: bounded talks with the CUPS scheduler.
#include "platform/spool/CupsScheduler.h"

#include <cups/cups.h>

#include <atomic>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/spool/PrintObject.h"

namespace labelplu::spool {

namespace {

constexpr double kDefaultLimitSeconds = 30.0;
// The wait after which libcups asks whether to go on waiting.
constexpr double kWaitSliceSeconds = 1.0;

// Set when an ask found the scheduler silent, cleared when one is answered.
constinit std::atomic<bool> g_foundSilent{false};

// Sends one small request and waits for the first byte of the answer until
// the deadline. cupsDoRequest would retry on the silent connection after
// the limit and so wait longer; a request that could not be sent (the
// scheduler closed the connection) counts as answered, as Qt then fails
// at once too.
bool Answers(http_t* http, std::chrono::steady_clock::time_point deadline) {
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
  const http_status_t sent = cupsSendRequest(http, request, "/", ippLength(request));
  ippDelete(request);
  if (sent != HTTP_STATUS_CONTINUE) return true;
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (httpWait(http, static_cast<int>(left.count())) != 0) break;
  }
  ippDelete(cupsGetResponse(http, "/"));
  return true;
}

}  // namespace

double SchedulerSilenceLimitSeconds() {
  const char* text = std::getenv(kSchedulerLimitVariable);
  if (text == nullptr) return kDefaultLimitSeconds;
  double value = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, ec] = std::from_chars(text, end, value);
  if (ec != std::errc() || stop != end || !(value > 0 && value <= kDefaultLimitSeconds)) {
    return kDefaultLimitSeconds;
  }
  return value;
}

SchedulerConnection::SchedulerConnection(double limitSeconds) {
  m_limitSeconds = SchedulerSilenceLimitSeconds();
  if (limitSeconds > 0 && limitSeconds < m_limitSeconds) m_limitSeconds = limitSeconds;
  m_start = m_last = std::chrono::steady_clock::now();
  m_http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                        static_cast<int>(m_limitSeconds * 1000), nullptr);
  if (m_http != nullptr) httpSetTimeout(m_http, kWaitSliceSeconds, KeepWaiting, this);
}

SchedulerConnection::~SchedulerConnection() {
  if (m_http != nullptr) httpClose(m_http);
}

// libcups calls this after each wait slice without an answer. A gap between
// calls means the scheduler answered meanwhile, so the silence starts again;
// one that outlasts the limit ends the wait.
int SchedulerConnection::KeepWaiting(http_t*, void* data) {
  auto& self = *static_cast<SchedulerConnection*>(data);
  const auto now = std::chrono::steady_clock::now();
  if (now - self.m_last > std::chrono::duration<double>(kWaitSliceSeconds * 1.5)) {
    self.m_start = now;
  }
  self.m_last = now;
  if (self.m_gaveUp) return 0;
  if (now - self.m_start < std::chrono::duration<double>(self.m_limitSeconds)) return 1;
  self.m_gaveUp = true;
  return 0;
}

void RequireAnsweringScheduler() {
  const bool silentBefore = g_foundSilent.load();
  const double limit = silentBefore ? kWaitSliceSeconds : SchedulerSilenceLimitSeconds();
  const auto start = std::chrono::steady_clock::now();
  SchedulerConnection connection(limit);
  if (connection.Http() == nullptr) {
    // Refused, or no socket: nothing is there to wait for. A connection
    // that used up the limit is a silence of its own.
    if (std::chrono::steady_clock::now() - start < std::chrono::duration<double>(limit)) return;
  } else if (Answers(connection.Http(),
                     start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(limit)))) {
    g_foundSilent = false;
    return;
  }
  g_foundSilent = true;
  char seconds[32];
  const auto [end, ec] = std::to_chars(seconds, seconds + sizeof seconds, limit);
  throw SchedulerSilent("the CUPS scheduler at \"" + std::string(cupsServer()) +
                        "\" does not answer (waited " +
                        std::string(seconds, ec == std::errc() ? end : seconds) + " s)");
}

}  // namespace labelplu::spool
