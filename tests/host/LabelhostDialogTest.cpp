// labelhost configure and preview against the real plug-in: on a real X
// display (a private Xvfb) a person's Return, played through the XTest
// extension, presses the settings dialog's default button "OK" and the
// settings must be stored; Escape closes the preview and nothing is stored.
// Without a display the driver cancels. The keys go to the window found by
// its title, so the test does not depend on where the layout puts a button.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/xml/XmlDom.h"
#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace labelplu::test {
namespace {

std::string FindProgram(const std::string& name) {
  const char* path = getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    std::string candidate = dirs.substr(start, end - start) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

// A private X server on a display number it picks itself.
class Xvfb {
 public:
  explicit Xvfb(const std::string& program) {
    int fds[2];
    if (pipe(fds) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execl(program.c_str(), program.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
            "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    char buffer[32] = {};
    size_t used = 0;
    while (used + 1 < sizeof buffer) {
      const ssize_t got = read(fds[0], buffer + used, sizeof buffer - 1 - used);
      if (got <= 0) break;
      used += static_cast<size_t>(got);
      if (std::memchr(buffer, '\n', used) != nullptr) break;
    }
    close(fds[0]);
    if (used > 0 && buffer[0] >= '0' && buffer[0] <= '9')
      m_display = ":" + std::string(buffer, strcspn(buffer, "\n"));
  }
  ~Xvfb() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

std::string WindowName(::Display* display, Window window) {
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  std::string name;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    name.assign(reinterpret_cast<char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  return name;
}

// Waits (up to 30 s) for a viewable top-level window titled title on the
// display, then acts on it with XTest; false when it never came.
bool ActOnWindow(const std::string& displayName, const std::string& title,
                 const std::function<void(::Display*, Window)>& act) {
  ::Display* display = nullptr;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (display == nullptr && std::chrono::steady_clock::now() < deadline) {
    display = XOpenDisplay(displayName.c_str());
    if (display == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (display == nullptr) return false;
  bool done = false;
  while (!done && std::chrono::steady_clock::now() < deadline) {
    Window root = DefaultRootWindow(display);
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !done; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes) ||
            attributes.map_state != IsViewable || WindowName(display, children[i]) != title)
          continue;
        // Let the window finish painting.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        act(display, children[i]);
        XSync(display, False);
        done = true;
      }
      if (children != nullptr) XFree(children);
    }
    if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  XCloseDisplay(display);
  return done;
}

// Gives window the keyboard, as a window manager would when a person
// picks it (none runs on the private display), and presses the key there.
void PressKey(::Display* display, Window window, KeySym symbol) {
  XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const KeyCode key = XKeysymToKeycode(display, symbol);
  XTestFakeKeyEvent(display, key, True, CurrentTime);
  XTestFakeKeyEvent(display, key, False, 50);
}

void PressReturn(::Display* display, Window window) {
  PressKey(display, window, XK_Return);
}

void PressEscape(::Display* display, Window window) {
  PressKey(display, window, XK_Escape);
}

// A parameter of the first device of a stored settings document.
std::string StoredParameter(const std::string& document, const std::string& name) {
  xml::XmlDocument doc;
  doc.loadXML(document);
  const xml::XmlNode param =
      doc.selectSingleNode("//Устройство/Параметры/Параметр[@Идентификатор='" + name + "']");
  return param ? param.getAttribute("Зна4ение").value_or("?") : "(none)";
}

class LabelhostDialog : public ::testing::Test {
 protected:
  std::string Settings() const { return (m_dir.Path() / "settings.xml").string(); }
  TempDir m_dir;
};

TEST_F(LabelhostDialog, ConfigureWithoutDisplayIsCancelled) {
  const ProcessResult run =
      Labelhost({"--settings", Settings(), "configure"}, "",
                {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.err.find("cancelled (-1): no device added"), std::string::npos) << run.err;
  EXPECT_EQ(FileText(Settings()), "");
}

// Without a display the driver would cancel its dialog at once, which must
// not read as a preview shown and closed.
TEST_F(LabelhostDialog, PreviewWithoutDisplayStopsAndSaysWhy) {
  const std::map<std::string, std::string> environments[] = {
      {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}},
      {{"DISPLAY", ":99"}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", "offscreen"}},
  };
  for (const auto& env : environments) {
    const ProcessResult run =
        Labelhost({"--settings", Settings(), "preview", "--grid", "2x2"}, "", env, "C.UTF-8");
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_NE(run.err.find("preview needs a display a person sees"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("Preview of device"), std::string::npos) << run.out;
    EXPECT_EQ(FileText(Settings()), "");
  }
  const ProcessResult twice =
      Labelhost({"--settings", Settings(), "preview", "1", "2"}, "", {}, "C.UTF-8");
  EXPECT_EQ(twice.exitCode, 2);
  EXPECT_NE(twice.err.find("preview takes one device"), std::string::npos) << twice.err;
}

TEST_F(LabelhostDialog, OkOnARealDisplayStoresTheSettingsAndEscapeClosesThePreview) {
  const std::string program = FindProgram("Xvfb");
  if (program.empty()) GTEST_SKIP() << "Xvfb is not installed (Debian package xvfb)";
  Xvfb server(program);
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  // On a real display Qt opens a D-Bus connection whose library keeps a
  // buffer to the end of the process; in a sanitizer build that would fail
  // labelhost's exit status.
  const std::string suppressions = m_dir.Write("lsan.supp", "leak:libdbus-1.so\n").string();
  const std::map<std::string, std::string> env{{"DISPLAY", server.Display()},
                                               {"QT_QPA_PLATFORM", "xcb"},
                                               {"WAYLAND_DISPLAY", ""},
                                               {"LSAN_OPTIONS", "suppressions=" + suppressions}};

  // No device yet: configure adds one, and OK (Return) keeps it.
  auto presser = std::async(
      std::launch::async, [&] { return ActOnWindow(server.Display(), "Настройки", PressReturn); });
  const ProcessResult added = Labelhost({"--settings", Settings(), "configure"}, "", env);
  ASSERT_TRUE(presser.get()) << "the settings dialog never showed\n" << added.err;
  EXPECT_EQ(added.exitCode, 0) << added.err;
  EXPECT_EQ(added.out.rfind("Added device 1: ", 0), 0u) << added.out;
  const std::string stored = FileText(Settings());
  EXPECT_NE(stored.find("Устройство"), std::string::npos);
  // The dialog wrote its values back: the printer it showed, the paper of
  // that printer.
  EXPECT_NE(StoredParameter(stored, "PrinterName"), "") << stored;
  EXPECT_NE(StoredParameter(stored, "PaperIndex"), "-1") << stored;

  // The existing device: configure again, OK again.
  presser = std::async(std::launch::async,
                       [&] { return ActOnWindow(server.Display(), "Настройки", PressReturn); });
  const ProcessResult configured = Labelhost({"--settings", Settings(), "configure", "1"}, "", env);
  ASSERT_TRUE(presser.get()) << configured.err;
  EXPECT_EQ(configured.exitCode, 0) << configured.err;
  EXPECT_EQ(configured.out.rfind("Configured device 1: ", 0), 0u) << configured.out;

  // preview: the preview window comes up by itself, with the layout print
  // would use; Escape closes it and with it the dialog. Nothing is stored.
  const std::string before = FileText(Settings());
  const struct {
    std::vector<std::string> args;
    std::string layout;
  } previews[] = {
      // The counts the dialog stored after OK.
      {{},
       "The preview shows " + StoredParameter(before, "MaxHorizontal") + " x " +
           StoredParameter(before, "MaxVertical") + " labels per page"},
      {{"1", "--grid", "2x3"}, "The preview shows 2 x 3 labels per page"},
      {{"--template", SourcePath("samples/templates/price_tag.lb3"), "--output",
        (m_dir.Path() / "x.pdf").string(), "--paper", "A4", "--grid", "auto"},
       "The preview shows 3 x 7 labels per page"},
  };
  for (const auto& preview : previews) {
    std::vector<std::string> args = {"--settings", Settings(), "preview"};
    args.insert(args.end(), preview.args.begin(), preview.args.end());
    presser = std::async(std::launch::async,
                         [&] { return ActOnWindow(server.Display(), "Просмотр", PressEscape); });
    const ProcessResult previewed = Labelhost(args, "", env, "C.UTF-8");
    ASSERT_TRUE(presser.get()) << "the preview never showed\n" << previewed.err;
    EXPECT_EQ(previewed.exitCode, 0) << previewed.err;
    EXPECT_NE(previewed.out.find(preview.layout), std::string::npos) << previewed.out;
    EXPECT_NE(previewed.out.find("Preview of device 1: "), std::string::npos) << previewed.out;
    EXPECT_EQ(FileText(Settings()), before);
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() / "x.pdf"));
  }
}

}  // namespace
}  // namespace labelplu::test
