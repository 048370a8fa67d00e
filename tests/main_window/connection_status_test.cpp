#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "main_window/connection_status.h"
#include "main_window/form1_layout.h"
#include "main_window/resources.h"
#include "tests/support/test_backend.h"

namespace main_window_tests {
namespace {

// The main window's controls without its gathering sequence.
class StatusForm : public toolkit::Form {
 public:
  using Form::Form;
  toolkit::WindowLayout layout() const override {
    return main_window::Form1Layout({"http://maker.test", "me@maker.test", "Someone"});
  }
};

struct Light {
  int value;
  std::string caption;
  int top;
};

struct Case {
  std::string name;
  std::string marker, lan;
  main_window::EchoEvidence echo;
  std::string status, lanAfter, wanAfter;
  Light green, yellow, red;
};

// Online or not, a LAN address or not: each of the four answers, and the texts
// that must not count as an address.
TEST(ConnectionStatus, EveryBranchWritesWhatTheDecisionTableSays) {
  // An echo reply gave an address, or none did.
  const main_window::EchoEvidence echo{"203.0.113.5", false};
  const main_window::EchoEvidence none{};
  const main_window::EchoEvidence silentSince{"203.0.113.5", true};
  const Case cases[] = {
      {"A offline with LAN",
       "Offline",
       "192.168.0.5",
       none,
       "LAN Only - Offline",
       "192.168.0.5",
       "Null",
       {1, "", 1710},
       {0, "LAN Only", 1720},
       {0, "Offline", 1720}},
      {"B online with LAN",
       "online",
       "10.0.0.2",
       none,
       "LAN And WAN - Online",
       "10.0.0.2",
       "start",
       {0, "Online", 1720},
       {0, "WAN/LAN", 1720},
       {1, "", 1710}},
      {"C loopback offline",
       "Offline",
       "127.0.0.1",
       none,
       "Offline",
       "Null",
       "Null",
       {1, "", 1700},
       {1, "", 1700},
       {0, "Offline", 1720}},
      {"D loopback online",
       "online",
       "127.0.0.1",
       echo,
       "WAN Only - Online",
       "Null",
       "203.0.113.5",
       {0, "Online", 1720},
       {0, "WAN Only", 1720},
       {1, "", 1700}},
      {"D not found online",
       "online",
       "Not Found",
       echo,
       "WAN Only - Online",
       "Null",
       "203.0.113.5",
       {0, "Online", 1720},
       {0, "WAN Only", 1720},
       {1, "", 1700}},
      {"C not found offline",
       "Offline",
       "Not Found",
       none,
       "Offline",
       "Null",
       "Null",
       {1, "", 1700},
       {1, "", 1700},
       {0, "Offline", 1720}},
      // No internet handle and no adapter: a machine without any network.
      {"C empty marker not found",
       "",
       "Not Found",
       none,
       "Offline",
       "Null",
       "Null",
       {1, "", 1700},
       {1, "", 1700},
       {0, "Offline", 1720}},
      {"A empty marker is not online",
       "",
       "192.168.0.5",
       none,
       "LAN Only - Offline",
       "192.168.0.5",
       "Null",
       {1, "", 1710},
       {0, "LAN Only", 1720},
       {0, "Offline", 1720}},
      {"B address without a 1",
       "online",
       "20.20.20.20",
       none,
       "LAN And WAN - Online",
       "20.20.20.20",
       "start",
       {0, "Online", 1720},
       {0, "WAN/LAN", 1720},
       {1, "", 1710}},
      {"B IPv6 address",
       "online",
       "fd00::2",
       none,
       "LAN And WAN - Online",
       "fd00::2",
       "start",
       {0, "Online", 1720},
       {0, "WAN/LAN", 1720},
       {1, "", 1710}},
      {"D text with a 1 is no address",
       "online",
       "Adapter 1",
       echo,
       "WAN Only - Online",
       "Null",
       "203.0.113.5",
       {0, "Online", 1720},
       {0, "WAN Only", 1720},
       {1, "", 1700}},
      {"C loopback inside text",
       "OFFLINE",
       "x127.0.0.1y",
       none,
       "Offline",
       "Null",
       "Null",
       {1, "", 1700},
       {1, "", 1700},
       {0, "Offline", 1720}},
      {"B 1 anywhere",
       "ONLINE",
       "25.1.2.3",
       none,
       "LAN And WAN - Online",
       "25.1.2.3",
       "start",
       {0, "Online", 1720},
       {0, "WAN/LAN", 1720},
       {1, "", 1710}},
      {"A 1 anywhere",
       "Offline",
       "25.1.2.3",
       none,
       "LAN Only - Offline",
       "25.1.2.3",
       "Null",
       {1, "", 1710},
       {0, "LAN Only", 1720},
       {0, "Offline", 1720}},
      {"D no address keeps start",
       "online",
       "Not Found",
       none,
       "WAN Only - Online",
       "Null",
       "start",
       {0, "Online", 1720},
       {0, "WAN Only", 1720},
       {1, "", 1700}},
      // The echo service saw a public address: the internet answered, whatever
      // became of the probe.
      {"B online by the echo alone",
       "Offline",
       "192.168.0.5",
       echo,
       "LAN And WAN - Online",
       "192.168.0.5",
       "203.0.113.5",
       {0, "Online", 1720},
       {0, "WAN/LAN", 1720},
       {1, "", 1710}},
      {"D online by the echo without a handle",
       "",
       "Not Found",
       echo,
       "WAN Only - Online",
       "Null",
       "203.0.113.5",
       {0, "Online", 1720},
       {0, "WAN Only", 1720},
       {1, "", 1700}},
      // It answered, then fell silent: the way out has gone since.
      {"A the echo went silent",
       "online",
       "192.168.0.5",
       silentSince,
       "LAN Only - Offline",
       "192.168.0.5",
       "Null",
       {1, "", 1710},
       {0, "LAN Only", 1720},
       {0, "Offline", 1720}},
  };
  const auto backend = tests_support::makeTestBackend(main_window::WindowResources());
  toolkit::Application app(*backend, "test");
  StatusForm form(app);
  std::unique_ptr<tests_support::Screen> screen;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen.reset();
    form.unload();
    form.load();
    screen = std::make_unique<tests_support::Screen>(form);
    for (const char* n : {"chkstatus", "chkgreen", "chkyellow", "chkred"}) {
      form.control(n).setVisible(false);
    }
    form.textBox("txtStatus2").setText(c.marker);
    form.textBox("LAN").setText(c.lan);
    form.textBox("WAN").setText("start");
    const bool online =
        main_window::ClassifyConnection(main_window::BindForm1Controls(form), c.echo);
    EXPECT_EQ(form.textBox("txtStatus").text(), c.status);
    EXPECT_EQ(online, c.status.ends_with(" - Online")) << "the exit status and JSON tell this";
    EXPECT_EQ(form.textBox("LAN").text(), c.lanAfter);
    EXPECT_EQ(form.textBox("WAN").text(), c.wanAfter);
    // A screen reader hears a light's colour and its caption, and hears it
    // pressed in when it is, never checked.
    const std::tuple<const char*, const char*, Light> lights[] = {
        {"chkgreen", "Green light", c.green},
        {"chkyellow", "Yellow light", c.yellow},
        {"chkred", "Red light", c.red}};
    for (const auto& [name, colour, light] : lights) {
      auto& box = form.checkBox(name);
      EXPECT_EQ(box.value(), light.value) << name;
      EXPECT_EQ(box.caption(), light.caption) << name;
      EXPECT_EQ(screen->accessiblePressed(name), light.value == toolkit::kChecked) << name;
      EXPECT_EQ(screen->checked(name), std::nullopt) << name;
      EXPECT_EQ(screen->accessibleName(name),
                light.caption.empty() ? colour : std::string(colour) + ": " + light.caption)
          << name;
      EXPECT_EQ(box.top(), light.top) << name;
      EXPECT_TRUE(box.visible()) << name;
    }
    EXPECT_TRUE(form.control("chkstatus").visible());
    EXPECT_EQ(form.checkBox("chkstatus").caption(), "Online Status:");
  }
}

TEST(ConnectionStatus, ContainsIgnoresCaseAndFindsNothingInEmptyText) {
  EXPECT_TRUE(main_window::Contains("Offline", "offline"));
  EXPECT_TRUE(main_window::Contains("xxOnLiNe", "online"));
  EXPECT_FALSE(main_window::Contains("", ""));
  EXPECT_FALSE(main_window::Contains("onlin", "online"));
}

}  // namespace
}  // namespace main_window_tests
