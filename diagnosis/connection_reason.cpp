#include "diagnosis/connection_reason.h"

#include <algorithm>
#include <array>

namespace diagnosis {
namespace {

using platform::Reach;

// Short enough for a tool tip, in the words a person would use after looking.
constexpr std::array kReasons{
    Reason{"online", "The internet answers."},
    Reason{"online-proxy", "The internet answers through a proxy."},
    Reason{"no-adapter", "No network adapter is connected."},
    Reason{"no-address", "The network gave this computer no address."},
    Reason{"sign-in", "A sign-in page answers in place of the internet."},
    Reason{"proxy-failed", "The proxy does not work or wants a password."},
    Reason{"no-route", "There is no route out of the local network."},
    Reason{"stopped", "The internet stopped answering during the check."},
    Reason{"no-names", "Internet names do not resolve."},
    Reason{"no-connection", "Internet servers take no connection."},
    Reason{"no-reply", "Internet servers take connections but never answer."},
    Reason{"unknown", "The internet did not answer."},
};

Reason named(std::string_view code) {
  return *reasonByCode(code);
}

bool failsAt(const platform::RequestReport& report) {
  return report.reach == Reach::NoName || report.reach == Reach::NoConnection ||
         report.reach == Reach::NoReply;
}

// Where neither host was reached, the two requests may have stopped at
// different places: the echo service's name did not resolve while the
// site's did, say. The one nearer the user is told, as it stands between the
// user and both hosts for all the facts show.
Reach nearerFailure(const platform::RequestReport& probe, const platform::RequestReport& echo) {
  if (failsAt(probe) && failsAt(echo)) return std::min(probe.reach, echo.reach);
  if (failsAt(probe)) return probe.reach;
  if (failsAt(echo)) return echo.reach;
  return Reach::NotTried;
}

bool is(const platform::RequestReport& a, const platform::RequestReport& b, Reach reach) {
  return a.reach == reach || b.reach == reach;
}

}  // namespace

Reason chooseReason(const LoadFacts& facts) {
  if (facts.online) {
    const bool proxied = (facts.probe.reach == Reach::Answered && facts.probe.viaProxy) ||
                         (facts.echo.reach == Reach::Answered && facts.echo.viaProxy);
    return named(proxied ? "online-proxy" : "online");
  }
  // From the user outwards: the machine's own side first, as nothing beyond
  // it can work while it does not.
  const AdapterFacts& adapters = facts.adapters;
  if (adapters.anyConnected == false) return named("no-adapter");
  if (adapters.anyAssignedAddress == false) return named("no-address");
  // An answer, even a sign-in page's or a proxy's refusal, proves a way out:
  // it outweighs what the routing table seems to say (a proxy on the local
  // network needs no default route).
  if (is(facts.probe, facts.echo, Reach::SignInPage)) return named("sign-in");
  if (is(facts.probe, facts.echo, Reach::ProxyFailed)) return named("proxy-failed");
  if (adapters.defaultRoute == false) return named("no-route");
  if (facts.wentSilent) return named("stopped");
  switch (nearerFailure(facts.probe, facts.echo)) {
    case Reach::NoName:
      return named("no-names");
    case Reach::NoConnection:
      return named("no-connection");
    case Reach::NoReply:
      return named("no-reply");
    default:
      return named("unknown");
  }
}

std::span<const Reason> allReasons() {
  return kReasons;
}

std::optional<Reason> reasonByCode(std::string_view code) {
  const auto found = std::find_if(kReasons.begin(), kReasons.end(),
                                  [&](const Reason& reason) { return reason.code == code; });
  if (found == kReasons.end()) return std::nullopt;
  return *found;
}

}  // namespace diagnosis
