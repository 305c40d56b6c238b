// labelplu: bounded talks with the CUPS scheduler.
//
// libcups's shared default connection, which Qt's printer support uses for
// the printer list and for every queue it opens, waits for ever on a
// scheduler that took the connection and stopped answering (a stopped or
// overloaded cupsd). The print object therefore asks the scheduler on a
// connection of its own, with a limit on silence, right before it lets Qt
// call CUPS, and sends its jobs on such a connection.
//
// Threads: any; each call opens its own connection.
#ifndef LABELPLU_PLATFORM_SPOOL_CUPSSCHEDULER_H
#define LABELPLU_PLATFORM_SPOOL_CUPSSCHEDULER_H

#include <cups/http.h>

#include <chrono>
#include <string>

namespace labelplu::spool {

// The environment variable that shortens the limit on silence (seconds, a
// number above 0 and at most 30), for tests.
inline constexpr const char* kSchedulerLimitVariable = "LABELPLU_CUPS_TIMEOUT";

// The longest silence accepted from the scheduler, in seconds: 30, or the
// value of kSchedulerLimitVariable when it is a number in (0, 30].
double SchedulerSilenceLimitSeconds();

// A connection to the scheduler (cupsServer(), ippPort()) whose waits end
// after SchedulerSilenceLimitSeconds() of silence, or after `limitSeconds`
// when that is given and shorter. A gap in the waits means the scheduler
// answered meanwhile, and the silence starts again.
class SchedulerConnection {
 public:
  explicit SchedulerConnection(double limitSeconds = 0);
  ~SchedulerConnection();
  SchedulerConnection(const SchedulerConnection&) = delete;
  SchedulerConnection& operator=(const SchedulerConnection&) = delete;

  // The connection (owned here), or null when the scheduler could not be
  // reached within the limit.
  http_t* Http() const { return m_http; }
  // True once the limit ended a wait: the requests on this connection then
  // fail, and so do those that follow.
  bool GaveUp() const { return m_gaveUp; }

 private:
  static int KeepWaiting(http_t* http, void* data);

  http_t* m_http = nullptr;
  double m_limitSeconds = 0;
  bool m_gaveUp = false;
  std::chrono::steady_clock::time_point m_start;
  std::chrono::steady_clock::time_point m_last;
};

// Makes sure the scheduler answers before Qt asks it anything. Returns when
// it answered one request, or when no scheduler can be reached at all (Qt
// then finds no queue at once). Throws SchedulerSilent, naming the server
// and the limit, when it took the connection and stayed silent for the
// limit. A scheduler found silent is given one second per ask until it
// answers again, so that the asks of one job add up to the limit, not to
// a multiple of it.
void RequireAnsweringScheduler();

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_CUPSSCHEDULER_H
