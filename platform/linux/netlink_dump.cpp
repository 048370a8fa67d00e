#include "platform/linux/netlink_dump.h"

#include <arpa/inet.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <netlink/attr.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/route/nexthop.h>
#include <netlink/route/route.h>
#include <netlink/socket.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <functional>
#include <set>
#include <tuple>

#include "toolkit/error.h"

#ifndef NETLINK_GET_STRICT_CHK
#define NETLINK_GET_STRICT_CHK 12
#endif

namespace platform::linuxos {
namespace {

// A set that keeps changing under the dump is taken as it last came, rather
// than waited for without end.
constexpr int kAttempts = 8;

[[noreturn]] void fail(int error, const std::string& what) {
  throw toolkit::Error(std::abs(error), "netlink", what + ": " + nl_geterror(error));
}

std::string addressText(nl_addr* address) {
  if (address == nullptr) return {};
  const int family = nl_addr_get_family(address);
  const unsigned length = nl_addr_get_len(address);
  if ((family == AF_INET && length == 4) || (family == AF_INET6 && length == 16)) {
    char text[INET6_ADDRSTRLEN] = {};
    if (inet_ntop(family, nl_addr_get_binary_addr(address), text, sizeof text) != nullptr) {
      return text;
    }
  }
  return {};
}

std::vector<std::uint8_t> addressBytes(const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + std::min<std::size_t>(length, 32));
}

// Hands each reply message of one dump to a parser. The parser runs under the
// netlink library's C frames, so whatever it throws is carried across them.
struct Receiver {
  std::function<void(nl_msg*)> parse;
  std::exception_ptr failure;

  static int onValid(nl_msg* message, void* self) {
    auto* receiver = static_cast<Receiver*>(self);
    try {
      receiver->parse(message);
      return NL_OK;
    } catch (...) {
      receiver->failure = std::current_exception();
      return NL_STOP;
    }
  }
};

// Sends `request` and reads its dump to the end. Returns 0, -NLE_DUMP_INTR
// when the kernel says the set changed during the dump, or another error.
int runDump(nl_sock* socket, nl_msg* request, const std::function<void(nl_msg*)>& parse) {
  Receiver receiver{parse, nullptr};
  nl_cb* callbacks = nl_cb_alloc(NL_CB_DEFAULT);
  if (callbacks == nullptr) return -NLE_NOMEM;
  nl_cb_set(callbacks, NL_CB_VALID, NL_CB_CUSTOM, &Receiver::onValid, &receiver);
  int error = nl_send_auto(socket, request);
  if (error >= 0) error = nl_recvmsgs(socket, callbacks);
  nl_cb_put(callbacks);
  if (receiver.failure) std::rethrow_exception(receiver.failure);
  return error < 0 ? error : 0;
}

using MessageBuilder = std::function<nl_msg*()>;

nl_msg* simpleRequest(int type, const void* header, std::size_t length) {
  nl_msg* message = nlmsg_alloc_simple(type, NLM_F_DUMP);
  if (message != nullptr &&
      nlmsg_append(message, const_cast<void*>(header), length, NLMSG_ALIGNTO) < 0) {
    nlmsg_free(message);
    return nullptr;
  }
  return message;
}

// Dumps until a dump comes through whole, or the attempts run out.
template <class Fact>
std::vector<Fact> dumpAll(nl_sock* socket, const MessageBuilder& build, const char* what,
                          const std::function<void(nl_msg*, std::vector<Fact>&)>& parse,
                          bool* interrupted) {
  std::vector<Fact> facts;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    facts.clear();
    nl_msg* request = build();
    if (request == nullptr) fail(-NLE_NOMEM, what);
    int error = 0;
    try {
      error = runDump(socket, request, [&](nl_msg* message) { parse(message, facts); });
    } catch (...) {
      nlmsg_free(request);
      throw;
    }
    nlmsg_free(request);
    if (error == 0) {
      *interrupted = false;
      return facts;
    }
    if (error != -NLE_DUMP_INTR) fail(error, what);
  }
  *interrupted = true;
  return facts;
}

void parseLink(nl_msg* message, std::vector<LinkFacts>& links) {
  nlmsghdr* header = nlmsg_hdr(message);
  if (header->nlmsg_type != RTM_NEWLINK) return;
  LinkFacts facts;
  // The library keeps no permanent address; read the attribute itself.
  if (nlattr* permanent = nlmsg_find_attr(header, sizeof(ifinfomsg), IFLA_PERM_ADDRESS)) {
    facts.permanentAddress =
        addressBytes(nla_data(permanent), static_cast<std::size_t>(nla_len(permanent)));
  }
  struct Parsed {
    LinkFacts* facts;
    bool ok = false;
  } parsed{&facts};
  nl_msg_parse(
      message,
      [](nl_object* object, void* arg) {
        auto* out = static_cast<Parsed*>(arg);
        auto* link = reinterpret_cast<rtnl_link*>(object);
        LinkFacts& f = *out->facts;
        f.index = rtnl_link_get_ifindex(link);
        if (const char* name = rtnl_link_get_name(link)) f.name = name;
        if (const char* kind = rtnl_link_get_type(link)) f.kind = kind;
        f.flags = rtnl_link_get_flags(link);
        f.operState = rtnl_link_get_operstate(link);
        f.carrier = rtnl_link_get_carrier(link) != 0;
        f.arpType = static_cast<std::uint16_t>(rtnl_link_get_arptype(link));
        if (nl_addr* address = rtnl_link_get_addr(link)) {
          f.address = addressBytes(nl_addr_get_binary_addr(address), nl_addr_get_len(address));
        }
        out->ok = true;
      },
      &parsed);
  if (parsed.ok && facts.index > 0 && !facts.name.empty()) links.push_back(std::move(facts));
}

void parseAddress(nl_msg* message, std::vector<AddressFacts>& addresses) {
  if (nlmsg_hdr(message)->nlmsg_type != RTM_NEWADDR) return;
  nl_msg_parse(
      message,
      [](nl_object* object, void* arg) {
        auto* out = static_cast<std::vector<AddressFacts>*>(arg);
        auto* address = reinterpret_cast<rtnl_addr*>(object);
        AddressFacts facts;
        facts.index = rtnl_addr_get_ifindex(address);
        facts.family = rtnl_addr_get_family(address);
        facts.text = addressText(rtnl_addr_get_local(address));
        facts.prefixLength = static_cast<std::uint8_t>(rtnl_addr_get_prefixlen(address));
        facts.validLifetime = rtnl_addr_get_valid_lifetime(address);
        if (!facts.text.empty()) out->push_back(std::move(facts));
      },
      &addresses);
}

void parseRoute(nl_msg* message, std::vector<RouteFacts>& routes) {
  if (nlmsg_hdr(message)->nlmsg_type != RTM_NEWROUTE) return;
  nl_msg_parse(
      message,
      [](nl_object* object, void* arg) {
        auto* out = static_cast<std::vector<RouteFacts>*>(arg);
        auto* route = reinterpret_cast<rtnl_route*>(object);
        RouteFacts facts;
        facts.family = rtnl_route_get_family(route);
        facts.table = rtnl_route_get_table(route);
        facts.type = rtnl_route_get_type(route);
        if (nl_addr* dst = rtnl_route_get_dst(route)) {
          facts.dstLength = static_cast<std::uint8_t>(nl_addr_get_prefixlen(dst));
          facts.hasDst = nl_addr_get_len(dst) > 0;
        }
        // Only default routes are kept: they are all the gateways need.
        if (facts.dstLength != 0) return;
        const int hops = rtnl_route_get_nnexthops(route);
        for (int i = 0; i < hops; ++i) {
          rtnl_nexthop* hop = rtnl_route_nexthop_n(route, i);
          if (hop == nullptr) continue;
          facts.hops.push_back(
              {rtnl_route_nh_get_ifindex(hop), addressText(rtnl_route_nh_get_gateway(hop))});
        }
        out->push_back(std::move(facts));
      },
      &routes);
}

}  // namespace

NetlinkDump::NetlinkDump() {
  socket_ = nl_socket_alloc();
  if (socket_ == nullptr) fail(-NLE_NOMEM, "netlink socket");
  if (int error = nl_connect(socket_, NETLINK_ROUTE); error < 0) {
    nl_socket_free(socket_);
    fail(error, "netlink socket");
  }
  // With strict checking the kernel filters the route dump by table, which
  // spares parsing every local and broadcast route. Older kernels dump all
  // and the filter below does the same work.
  int on = 1;
  strict_ = setsockopt(nl_socket_get_fd(socket_), SOL_NETLINK, NETLINK_GET_STRICT_CHK, &on,
                       sizeof on) == 0;
}

NetlinkDump::~NetlinkDump() {
  nl_socket_free(socket_);
}

std::vector<LinkFacts> NetlinkDump::links() {
  auto build = [] {
    ifinfomsg header{};
    header.ifi_family = AF_UNSPEC;
    nl_msg* message = simpleRequest(RTM_GETLINK, &header, sizeof header);
    // Statistics are the bulk of a link message and nothing here reads them.
    if (message != nullptr && nla_put_u32(message, IFLA_EXT_MASK, RTEXT_FILTER_SKIP_STATS) < 0) {
      nlmsg_free(message);
      return static_cast<nl_msg*>(nullptr);
    }
    return message;
  };
  bool interrupted = false;
  auto links = dumpAll<LinkFacts>(socket_, build, "link dump", parseLink, &interrupted);
  if (interrupted) {
    // A restarted part may repeat links; keep the first of each index.
    std::set<std::int32_t> seen;
    std::erase_if(links, [&](const LinkFacts& l) { return !seen.insert(l.index).second; });
  }
  return links;
}

std::vector<AddressFacts> NetlinkDump::addresses() {
  auto build = [] {
    ifaddrmsg header{};
    header.ifa_family = AF_UNSPEC;
    return simpleRequest(RTM_GETADDR, &header, sizeof header);
  };
  bool interrupted = false;
  auto addresses =
      dumpAll<AddressFacts>(socket_, build, "address dump", parseAddress, &interrupted);
  if (interrupted) {
    std::set<std::tuple<std::int32_t, int, std::string, int>> seen;
    std::erase_if(addresses, [&](const AddressFacts& a) {
      return !seen.insert({a.index, a.family, a.text, a.prefixLength}).second;
    });
  }
  return addresses;
}

std::vector<RouteFacts> NetlinkDump::routes() {
  const bool strict = strict_;
  auto build = [strict] {
    rtmsg header{};
    header.rtm_family = AF_UNSPEC;
    if (strict) header.rtm_table = RT_TABLE_MAIN;
    return simpleRequest(RTM_GETROUTE, &header, sizeof header);
  };
  bool interrupted = false;
  auto routes = dumpAll<RouteFacts>(socket_, build, "route dump", parseRoute, &interrupted);
  if (interrupted) {
    std::set<std::tuple<int, std::uint32_t, std::int32_t, std::string>> seen;
    std::erase_if(routes, [&](const RouteFacts& r) {
      const RouteFacts::Hop first = r.hops.empty() ? RouteFacts::Hop{} : r.hops.front();
      return !seen.insert({r.family, r.table, first.index, first.gateway}).second;
    });
  }
  return routes;
}

}  // namespace platform::linuxos
