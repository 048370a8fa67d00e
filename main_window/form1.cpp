#include "main_window/form1.h"

#include "diagnosis/adapter_facts.h"
#include "main_window/app_title.h"
#include "main_window/connection_status.h"
#include "main_window/form1_layout.h"
#include "main_window/progress_bar_colours.h"
#include "main_window/status_announcement.h"
#include "probes/lan_address.h"
#include "probes/reachability_probe.h"
#include "probes/word_list.h"

namespace main_window {
namespace {

using basics::skipOnFailure;

constexpr float kProgressStep = 5;
constexpr toolkit::Colour kBarBackground = 0x00000000;
constexpr toolkit::Colour kBarColour = 0x0000FF00;
constexpr const char* kLoopback = "127.0.0.1";

}  // namespace

Form1::Form1(toolkit::Application& app, platform::Services services, MakerInfo maker,
             GatheringSettings settings)
    : Form(app), services_(services), maker_(std::move(maker)), settings_(std::move(settings)) {}

toolkit::WindowLayout Form1::layout() const {
  return Form1Layout(maker_);
}

const Form1Controls& Form1::controls() const {
  if (!controls_)
    throw basics::Error(toolkit::kNotLoaded, basics::kErrorSource, "Object not loaded");
  return *controls_;
}

std::string Form1::GetPhysicalLanIP() {
  return probes::GetPhysicalLanIP(services_.management);
}

void Form1::fetchWords(std::function<void(Words)> then) {
  auto fetcher = fetcher_;
  runInBackground<Words>(
      [fetcher](std::stop_token stop) {
        // A fetch that breaks is a reply without words: the sequence goes on.
        return basics::resultOrOnFailure([&] { return fetcher->fetch(stop); }, Words{});
      },
      std::move(then));
}

void Form1::startProbe() {
  const std::string agent = application().title();
  const std::string url = settings_.reachabilityUrl;
  platform::InternetTransfer* internet = &services_.internet;
  const platform::Deadline deadline = networkDeadline_;
  runInBackground<ProbeOutcome>(
      [internet, agent, url, deadline](std::stop_token stop) {
        // A probe that breaks has not opened the page.
        return basics::resultOrOnFailure(
            [&] {
              ProbeOutcome outcome;
              outcome.marker =
                  probes::probeReachability(*internet, agent, url, stop, deadline, &outcome.report);
              return outcome;
            },
            ProbeOutcome{std::string(probes::kOffline), {}});
      },
      [this](ProbeOutcome outcome) {
        probeOutcome_ = std::move(outcome);
        if (!completionWaitsForProbe_) return;
        completionWaitsForProbe_ = false;
        tickInFlight_ = false;
        finishCompletion();
      });
}

void Form1::formLoad() {
  controls_.emplace(BindForm1Controls(*this));
  const Form1Controls& c = *controls_;
  // A reload sees the network as it is now, not as the last load found it.
  services_.internet.startAfresh();
  platform::FetchOptions options;
  options.userAgent = application().title();
  options.timeout = settings_.fetchTimeout.value_or(std::chrono::seconds(c.inet1.requestTimeout()));
  // Every request of this load shares one budget of waiting.
  networkDeadline_ = platform::deadlineWithin(settings_.networkBudget, platform::kNoDeadline);
  options.deadline = networkDeadline_;
  fetcher_ = std::make_shared<probes::PublicAddressFetcher>(services_.internet,
                                                            settings_.echoServiceUrl, options);
  tickInFlight_ = false;
  probeOutcome_.reset();
  completionWaitsForProbe_ = false;
  finding_.reset();

  // The results stay out of sight from the first paint on, while the start-up
  // request is still on its way.
  for (toolkit::Control* control : std::initializer_list<toolkit::Control*>{
           &c.lan2, &c.lan, &c.wan2, &c.wan, &c.txtStatus, &c.txtLocal, &c.lblLocal, &c.chkgreen,
           &c.chkyellow, &c.chkred, &c.chkstatus, &c.chkReload, &c.chkAdp, &c.ainfo1, &c.ainfo2}) {
    skipOnFailure([&] { control->setVisible(false); });
  }
  // The probe starts now, with the whole of the load's time: on a slow line
  // the echo requests would otherwise use it up before the probe had begun.
  startProbe();
  fetchWords([this](Words words) { finishStartUp(words); });
}

void Form1::finishStartUp(const Words& words) {
  skipOnFailure([&] { controls_->wan.setText(probes::lastWord(words)); });
  skipOnFailure([&] { controls_->timer1.setInterval(settings_.tickInterval); });
}

void Form1::timerTick(toolkit::Timer& source) {
  // A tick that waits for its reply lets no other start; none comes after the pass.
  if (&source != &controls_->timer1 || tickInFlight_ || !controls_->timer1.enabled()) return;
  tickInFlight_ = true;
  fetchWords([this](Words words) {
    tickInFlight_ = false;
    finishTick(words);
  });
}

void Form1::finishTick(const Words&) {
  auto& bar = controls_->progressBar1;
  SetProgressBarColors(bar, kBarBackground, kBarColour);
  bar.setValue(bar.value() + kProgressStep);
  if (bar.value() != bar.maximum()) return;
  completionPass();
}

void Form1::completionPass() {
  auto& bar = controls_->progressBar1;
  if (!(bar.maximum() > bar.value())) controls_->timer1.setEnabled(false);
  if (probeOutcome_) {
    finishCompletion();
    return;
  }
  // The pass goes on when the probe ends; no tick may start meanwhile.
  completionWaitsForProbe_ = true;
  tickInFlight_ = true;
}

void Form1::finishCompletion() {
  const Form1Controls& c = *controls_;
  // The probe leaves its marker as it found the page; with no internet
  // handle it leaves the box as it was.
  if (probeOutcome_->marker) skipOnFailure([&] { c.txtStatus2.setText(*probeOutcome_->marker); });
  skipOnFailure([&] { c.lan.setText(GetPhysicalLanIP()); });
  for (toolkit::Control* control :
       std::initializer_list<toolkit::Control*>{&c.progressBar1, &c.lblWorking}) {
    skipOnFailure([&] { control->setVisible(false); });
  }
  for (toolkit::Control* control :
       std::initializer_list<toolkit::Control*>{&c.lan2, &c.lan, &c.wan2, &c.wan, &c.txtLocal}) {
    skipOnFailure([&] { control->setVisible(true); });
  }
  skipOnFailure([&] { c.txtLocal.setText(kLoopback); });
  for (toolkit::Control* control : std::initializer_list<toolkit::Control*>{
           &c.lblLocal, &c.chkReload, &c.chkAdp, &c.ainfo1, &c.ainfo2}) {
    skipOnFailure([&] { control->setVisible(true); });
  }
  const bool online = ClassifyConnection(c, {fetcher_->latestAddress(), fetcher_->wentSilent()});
  finding_ = Finding{online, explain(online)};
  ShowReason(c, finding_->reason);
  AnnounceStatus(c);
  if (onGatheringComplete) onGatheringComplete();
}

diagnosis::Reason Form1::explain(bool online) {
  diagnosis::LoadFacts facts;
  facts.online = online;
  facts.wentSilent = fetcher_->wentSilent();
  facts.probe = probeOutcome_->report;
  facts.echo = fetcher_->furthestReport();
  // Online, the machine's side needs no looking at.
  if (!online)
    facts.adapters = diagnosis::ReadAdapterFacts(services_.management, services_.adapterTable);
  return diagnosis::chooseReason(facts);
}

void Form1::formUnloading() {
  controls_.reset();
  fetcher_.reset();
  tickInFlight_ = false;
  probeOutcome_.reset();
  completionWaitsForProbe_ = false;
  finding_.reset();
}

void Form1::reload() {
  unload();
  load();
  show();
}

void Form1::openPage(const std::string& url) {
  services_.shell.openInBrowser(url, platform::kMinimizedFocus);
}

void Form1::click(toolkit::Control& source) {
  const Form1Controls& c = *controls_;
  const auto is = [&source](const toolkit::Control& control) { return &source == &control; };
  if (is(c.ainfo1) && adapterInfoWindow) {
    adapterInfoWindow().show();
  } else if (is(c.ainfo2) && additionalAdapterInfoWindow) {
    additionalAdapterInfoWindow().show();
  } else if (is(c.chkReload)) {
    reload();  // unloads: `source` and `c` are gone after this
  } else if (is(c.wan2)) {
    openPage(std::string(probes::kPublicAddressPageUrl));
  } else if (is(c.brevan)) {
    openPage(maker_.webAddress);
  }
}

}  // namespace main_window
