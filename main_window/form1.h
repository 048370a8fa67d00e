#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diagnosis/connection_reason.h"
#include "main_window/form1_controls.h"
#include "main_window/gathering_settings.h"
#include "main_window/maker_info.h"
#include "platform/services.h"
#include "probes/public_address_fetcher.h"
#include "toolkit/form.h"

namespace main_window {

// The main window: gathers the addresses when it loads, shows them with the
// status light, and carries the commands of its buttons.
//
// The network requests run off the UI thread. A tick that waits for its reply
// lets no other tick start (ticks never overlap), while the window still paints,
// moves and closes; unloading the window drops and cancels what is in flight.
class Form1 : public toolkit::Form {
 public:
  Form1(toolkit::Application& app, platform::Services services, MakerInfo maker,
        GatheringSettings settings = {});

  toolkit::WindowLayout layout() const override;

  // The LAN address as the main window shows it (see probes::GetPhysicalLanIP).
  std::string GetPhysicalLanIP();

  // The report windows the "1" and "2" buttons show.
  std::function<toolkit::Form&()> adapterInfoWindow;
  std::function<toolkit::Form&()> additionalAdapterInfoWindow;
  // Called after each load's completion pass (the no-display mode prints then).
  std::function<void()> onGatheringComplete;

  // The controls of the current load; basics::Error 364 while not loaded.
  const Form1Controls& controls() const;

  // What this load's classification found: whether the machine is online
  // (what the status shows) and why; none until the load has gathered.
  struct Finding {
    bool online = false;
    diagnosis::Reason reason;
  };
  const std::optional<Finding>& finding() const { return finding_; }

 protected:
  void formLoad() override;
  void timerTick(toolkit::Timer& source) override;
  void click(toolkit::Control& source) override;
  void formUnloading() override;

 private:
  using Words = std::vector<std::string>;
  using Marker = std::optional<std::string>;
  struct ProbeOutcome {
    Marker marker;
    platform::RequestReport report;
  };
  void fetchWords(std::function<void(Words)> then);
  void startProbe();
  void finishStartUp(const Words& words);
  void finishTick(const Words& words);
  void completionPass();
  void finishCompletion();
  diagnosis::Reason explain(bool online);
  void reload();
  void openPage(const std::string& url);

  platform::Services services_;
  MakerInfo maker_;
  GatheringSettings settings_;
  std::optional<Form1Controls> controls_;                       // bound while loaded
  std::shared_ptr<probes::PublicAddressFetcher> fetcher_;       // one per load
  platform::Deadline networkDeadline_ = platform::kNoDeadline;  // the load's waiting ends here
  bool tickInFlight_ = false;
  // The reachability probe runs from the load on, beside the echo requests;
  // the completion pass waits for it when it comes first.
  std::optional<ProbeOutcome> probeOutcome_;  // set once the probe has ended
  bool completionWaitsForProbe_ = false;
  std::optional<Finding> finding_;
};

}  // namespace main_window
