#include "platform/linux/resolver_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace platform_linux_test {
namespace {

using namespace platform::linuxos;
using Servers = std::vector<std::string>;

TEST(ResolverFiles, ResolvConfNameservers) {
  const std::pair<const char*, Servers> cases[] = {
      {"", {}},
      {"nameserver 192.0.2.53\n", {"192.0.2.53"}},
      {"# generated\nsearch example.org\nnameserver 192.0.2.53\n\tnameserver  2001:db8::53 \n"
       "options edns0\nnameserver 198.51.100.53",
       {"192.0.2.53", "2001:db8::53", "198.51.100.53"}},
      {"; nameserver 192.0.2.1\n#nameserver 192.0.2.2\nnameserver\nnameservers 192.0.2.3\n", {}},
      {"nameserver fe80::1%eth0\r\n", {"fe80::1%eth0"}},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(parseResolvConf(text), expected) << text;
}

TEST(ResolverFiles, ResolvedLinkServers) {
  const std::pair<const char*, Servers> cases[] = {
      {"", {}},
      {"# This is private data. Do not parse.\nLLMNR=yes\nSERVERS=192.0.2.53 2001:db8::53\n",
       {"192.0.2.53", "2001:db8::53"}},
      {"SERVERS=192.0.2.53:5353#dns.example [2001:db8::53]:853%3#dns.example fe80::1%2\n",
       {"192.0.2.53", "2001:db8::53", "fe80::1"}},
      {"SERVERS=not-an-address [2001:db8::1 192.0.2\nDOMAINS=example.org\n", {}},
      {"DNS=192.0.2.9\n", {}},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(parseResolvedLinkServers(text), expected) << text;
  }
}

class ResolverTree : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tarnwick-resolver-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    paths_.resolvConf = root_ + "/resolv.conf";
    paths_.resolvedState = root_ + "/resolve";
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  void write(const std::string& relative, const std::string& text) {
    const std::filesystem::path path = root_ + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  HostFacts read() {
    HostFacts host;
    readDnsServers(paths_, host);
    return host;
  }
  std::string root_;
  SystemPaths paths_;
};

TEST_F(ResolverTree, MissingFilesGiveNoServers) {
  const HostFacts host = read();
  EXPECT_TRUE(host.dnsServers.empty());
  EXPECT_TRUE(host.linkDnsServers.empty());
}

TEST_F(ResolverTree, TheStubLeadsToResolvedsUpstreamList) {
  write("resolv.conf", "nameserver 127.0.0.53\noptions edns0 trust-ad\n");
  EXPECT_EQ(read().dnsServers, Servers{"127.0.0.53"});  // nothing better known
  write("resolve/resolv.conf", "nameserver 192.0.2.53\nnameserver 198.51.100.53\n");
  EXPECT_EQ(read().dnsServers, (Servers{"192.0.2.53", "198.51.100.53"}));
  // The stub among other servers is taken as written.
  write("resolv.conf", "nameserver 127.0.0.53\nnameserver 203.0.113.53\n");
  EXPECT_EQ(read().dnsServers, (Servers{"127.0.0.53", "203.0.113.53"}));
}

TEST_F(ResolverTree, LinkStateFilesByIndex) {
  write("resolve/netif/2", "SERVERS=192.0.2.1\n");
  write("resolve/netif/17", "SERVERS=2001:db8::1 198.51.100.1\n");
  write("resolve/netif/5", "LLMNR=yes\n");
  write("resolve/netif/not-an-index", "SERVERS=203.0.113.1\n");
  write("resolve/netif/-3", "SERVERS=203.0.113.2\n");
  const HostFacts host = read();
  ASSERT_EQ(host.linkDnsServers.size(), 2u);
  EXPECT_EQ(host.linkDnsServers.at(2), Servers{"192.0.2.1"});
  EXPECT_EQ(host.linkDnsServers.at(17), (Servers{"2001:db8::1", "198.51.100.1"}));
}

}  // namespace
}  // namespace platform_linux_test
