#include "tests/labeldrivers/LabelDriverQueue.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace labelplu::test {
namespace {

constexpr const char* kSampleDrv = "/usr/share/cups/drv/sample.drv";
constexpr const char* kFilterDir = "/usr/lib/cups/filter/";

std::string Quote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The number after the last '-' of a job name ("lp-epl2-17").
long JobNumber(const std::string& job) {
  return std::stol(job.substr(job.rfind('-') + 1));
}

}  // namespace

std::optional<std::string> LabelDriverSkipReason() {
  if (auto why = PrivateCups::SkipReason()) return why;
  const std::pair<std::string, const char*> needed[] = {
      {"/usr/bin/ppdc", "ppdc (package cups-ppdc)"},
      {kSampleDrv, "CUPS's sample drivers (package cups-common)"},
      {std::string(kFilterDir) + "rastertolabel", "rastertolabel (package cups)"},
      {std::string(kFilterDir) + "pdftopdf", "pdftopdf (package cups-filters-core-drivers)"},
      {std::string(kFilterDir) + "gstoraster", "gstoraster (package cups-filters)"},
  };
  for (const auto& [path, what] : needed) {
    if (access(path.c_str(), R_OK) != 0) return std::string(what) + " is not installed: " + path;
  }
  return std::nullopt;
}

std::string CompileSamplePpd(const std::string& folder, const std::string& pcFileName) {
  std::string out;
  FILE* pipe = popen(("ppdc -d " + Quote(folder) + " " + kSampleDrv + " 2>&1").c_str(), "r");
  if (pipe != nullptr) {
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
    pclose(pipe);
  }
  std::string ppd = folder + "/" + pcFileName;
  if (!std::filesystem::exists(ppd)) {
    throw std::runtime_error("ppdc made no " + pcFileName + " from " + kSampleDrv + ": " + out);
  }
  return ppd;
}

LabelDriverQueue::LabelDriverQueue(PrivateCups& cups, std::string name, const std::string& ppdPath)
    : m_cups(cups), m_name(std::move(name)) {
  m_output =
      m_cups.AddQueue(m_name, ppdPath, {"Resolution=203dpi", "job-hold-until-default=indefinite"});
}

void LabelDriverQueue::SetPaperMm(double widthMm, double heightMm) {
  std::ostringstream size;
  size << "PageSize=Custom." << widthMm << "x" << heightMm << "mm";
  std::string out;
  if (m_cups.RunCommand("lpadmin -p " + Quote(m_name) + " -o " + Quote(size.str()), &out) != 0) {
    throw std::runtime_error("lpadmin " + size.str() + " failed: " + out);
  }
}

std::vector<std::string> LabelDriverQueue::PendingJobs() const {
  std::string out;
  if (m_cups.RunCommand("lpstat -o " + Quote(m_name), &out) != 0) {
    throw std::runtime_error("lpstat -o " + m_name + " failed: " + out);
  }
  std::vector<std::string> jobs;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    const std::string job = line.substr(0, line.find(' '));
    if (job.rfind(m_name + "-", 0) == 0) jobs.push_back(job);
  }
  std::sort(jobs.begin(), jobs.end(),
            [](const std::string& a, const std::string& b) { return JobNumber(a) < JobNumber(b); });
  return jobs;
}

std::vector<std::string> LabelDriverQueue::ReleaseJobs(int timeoutMs) {
  std::vector<std::string> outputs;
  for (const std::string& job : PendingJobs()) {
    std::error_code ignored;
    std::filesystem::remove(m_output, ignored);
    std::string out;
    if (m_cups.RunCommand("lp -i " + Quote(job) + " -H immediate", &out) != 0) {
      throw std::runtime_error("releasing " + job + " failed: " += out);
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
      const std::vector<std::string> pending = PendingJobs();
      if (std::find(pending.begin(), pending.end(), job) == pending.end()) break;
      if (std::chrono::steady_clock::now() > end) {
        throw std::runtime_error(job + " did not end:\n" + m_cups.ReadLog("error_log"));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!std::filesystem::exists(m_output)) {
      throw std::runtime_error(job + " wrote nothing:\n" + m_cups.ReadLog("error_log"));
    }
    outputs.push_back(ReadBytes(m_output));
  }
  return outputs;
}

}  // namespace labelplu::test
