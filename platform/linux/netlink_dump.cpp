#include "platform/linux/netlink_dump.h"

#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <netlink/attr.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <netlink/socket.h>

#include <cstdlib>
#include <exception>
#include <functional>
#include <set>
#include <tuple>

#include "basics/error.h"
#include "platform/linux/rtnetlink_parse.h"

#ifndef NETLINK_GET_STRICT_CHK
#define NETLINK_GET_STRICT_CHK 12
#endif

namespace platform::linuxos {
namespace {

// A set that keeps changing under the dump is taken as it last came, rather
// than waited for without end.
constexpr int kAttempts = 8;

[[noreturn]] void fail(int error, const std::string& what) {
  throw basics::Error(std::abs(error), "netlink", what + ": " + nl_geterror(error));
}

using Parse = std::function<void(const nlmsghdr*)>;

// Hands each reply message of one dump to a parser. The parser runs under the
// netlink library's C frames, so whatever it throws is carried across them.
struct Receiver {
  const Parse* parse;
  std::exception_ptr failure;

  static int onValid(nl_msg* message, void* self) {
    auto* receiver = static_cast<Receiver*>(self);
    try {
      (*receiver->parse)(nlmsg_hdr(message));
      return NL_OK;
    } catch (...) {
      receiver->failure = std::current_exception();
      return NL_STOP;
    }
  }
};

// Sends `request` and reads its dump to the end. Returns 0, -NLE_DUMP_INTR
// when the kernel says the set changed during the dump, or another error.
int runDump(nl_sock* socket, nl_msg* request, const Parse& parse) {
  Receiver receiver{&parse, nullptr};
  nl_cb* callbacks = nl_cb_alloc(NL_CB_DEFAULT);
  if (callbacks == nullptr) return -NLE_NOMEM;
  nl_cb_set(callbacks, NL_CB_VALID, NL_CB_CUSTOM, &Receiver::onValid, &receiver);
  int error = nl_send_auto(socket, request);
  if (error >= 0) error = nl_recvmsgs(socket, callbacks);
  nl_cb_put(callbacks);
  if (receiver.failure) std::rethrow_exception(receiver.failure);
  return error < 0 ? error : 0;
}

// A dump request: a fixed header, optionally one 32-bit attribute.
struct Request {
  int type;
  const void* header;
  std::size_t headerLength;
  int attribute = 0;  // 0 for none
  std::uint32_t value = 0;
};

nl_msg* build(const Request& request) {
  nl_msg* message = nlmsg_alloc_simple(request.type, NLM_F_DUMP);
  if (message == nullptr) return nullptr;
  if (nlmsg_append(message, const_cast<void*>(request.header), request.headerLength,
                   NLMSG_ALIGNTO) < 0 ||
      (request.attribute != 0 && nla_put_u32(message, request.attribute, request.value) < 0)) {
    nlmsg_free(message);
    return nullptr;
  }
  return message;
}

// Dumps until a dump comes through whole, or the attempts run out. Facts are
// collected afresh on every attempt. Returns whether the last one was whole.
template <class Fact, class Parser>
bool dumpAll(nl_sock* socket, const Request& request, const char* what, Parser parser,
             std::vector<Fact>& facts) {
  const Parse parse = [&](const nlmsghdr* header) {
    if (auto fact = parser(header, header->nlmsg_len)) facts.push_back(std::move(*fact));
  };
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    facts.clear();
    nl_msg* message = build(request);
    if (message == nullptr) fail(-NLE_NOMEM, what);
    int error = 0;
    try {
      error = runDump(socket, message, parse);
    } catch (...) {
      nlmsg_free(message);
      throw;
    }
    nlmsg_free(message);
    if (error == 0) return true;
    if (error != -NLE_DUMP_INTR) fail(error, what);
  }
  return false;
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
  // spares reading every local and broadcast route. Older kernels dump them
  // all and the table test below does the same work.
  int on = 1;
  strict_ = setsockopt(nl_socket_get_fd(socket_), SOL_NETLINK, NETLINK_GET_STRICT_CHK, &on,
                       sizeof on) == 0;
}

NetlinkDump::~NetlinkDump() {
  nl_socket_free(socket_);
}

std::vector<LinkFacts> NetlinkDump::links() {
  ifinfomsg header{};
  header.ifi_family = AF_UNSPEC;
  // Statistics are the bulk of a link message and nothing here reads them.
  const Request request{RTM_GETLINK, &header, sizeof header, IFLA_EXT_MASK,
                        RTEXT_FILTER_SKIP_STATS};
  std::vector<LinkFacts> links;
  if (!dumpAll(socket_, request, "link dump", parseLinkMessage, links)) {
    // A restarted part may repeat links; keep the first of each index.
    std::set<std::int32_t> seen;
    std::erase_if(links, [&](const LinkFacts& l) { return !seen.insert(l.index).second; });
  }
  return links;
}

std::vector<AddressFacts> NetlinkDump::addresses() {
  ifaddrmsg header{};
  header.ifa_family = AF_UNSPEC;
  const Request request{RTM_GETADDR, &header, sizeof header};
  std::vector<AddressFacts> addresses;
  if (!dumpAll(socket_, request, "address dump", parseAddressMessage, addresses)) {
    std::set<std::tuple<std::int32_t, int, std::string, int>> seen;
    std::erase_if(addresses, [&](const AddressFacts& a) {
      return !seen.insert({a.index, a.family, a.text, a.prefixLength}).second;
    });
  }
  return addresses;
}

std::vector<RouteFacts> NetlinkDump::routes() {
  rtmsg header{};
  header.rtm_family = AF_UNSPEC;
  if (strict_) header.rtm_table = RT_TABLE_MAIN;
  const Request request{RTM_GETROUTE, &header, sizeof header};
  std::vector<RouteFacts> routes;
  if (!dumpAll(socket_, request, "route dump", parseRouteMessage, routes)) {
    std::set<std::tuple<int, std::uint32_t, std::int32_t, std::string>> seen;
    std::erase_if(routes, [&](const RouteFacts& r) {
      const RouteFacts::Hop first = r.hops.empty() ? RouteFacts::Hop{} : r.hops.front();
      return !seen.insert({r.family, r.table, first.index, first.gateway}).second;
    });
  }
  return routes;
}

}  // namespace platform::linuxos
