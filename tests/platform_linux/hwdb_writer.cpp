#include "tests/platform_linux/hwdb_writer.h"

#include <cstdint>
#include <map>
#include <memory>

namespace platform_linux_test {
namespace {

// Sizes of the file's records (header, node, child entry, value entry).
constexpr std::uint64_t kHeaderSize = 80;
constexpr std::uint64_t kNodeSize = 24;
constexpr std::uint64_t kChildSize = 16;
constexpr std::uint64_t kValueSize = 16;

struct Node {
  std::map<unsigned char, std::unique_ptr<Node>> children;  // sorted, as the lookup's bsearch needs
  std::vector<std::pair<std::string, std::string>> values;
  std::uint64_t offset = 0;
};

void put64(std::string& out, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) out += static_cast<char>(value >> (8 * i));
}

class Strings {
 public:
  // Offset of `text` within the string section; the empty string is at 0.
  std::uint64_t add(const std::string& text) {
    auto found = offsets_.find(text);
    if (found != offsets_.end()) return found->second;
    const std::uint64_t offset = section_.size();
    section_ += text;
    section_ += '\0';
    offsets_[text] = offset;
    return offset;
  }
  const std::string& section() const { return section_; }

 private:
  std::string section_ = std::string(1, '\0');
  std::map<std::string, std::uint64_t> offsets_ = {{"", 0}};
};

void layOut(Node& node, std::uint64_t& next) {
  node.offset = next;
  next += kNodeSize + kChildSize * node.children.size() + kValueSize * node.values.size();
  for (auto& [c, child] : node.children) layOut(*child, next);
}

void emit(const Node& node, std::uint64_t stringsStart, Strings& strings, std::string& out) {
  put64(out, stringsStart);  // every prefix is the empty string
  out += static_cast<char>(node.children.size());
  out.append(7, '\0');
  put64(out, node.values.size());
  for (const auto& [c, child] : node.children) {
    out += static_cast<char>(c);
    out.append(7, '\0');
    put64(out, child->offset);
  }
  for (const auto& [key, value] : node.values) {
    // Property keys carry a leading space; the library skips keys without.
    put64(out, stringsStart + strings.add(" " + key));
    put64(out, stringsStart + strings.add(value));
  }
  for (const auto& [c, child] : node.children) emit(*child, stringsStart, strings, out);
}

}  // namespace

std::vector<HwdbEntry> parseHwdbSource(std::string_view text) {
  std::vector<HwdbEntry> entries;
  bool inEntry = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty() || line.front() == '#') {
      inEntry = false;
      continue;
    }
    if (line.front() == ' ') {
      const auto equals = line.find('=');
      if (!inEntry || equals == std::string_view::npos) continue;
      entries.back().properties.emplace_back(std::string(line.substr(1, equals - 1)),
                                             std::string(line.substr(equals + 1)));
    } else {
      entries.push_back({std::string(line), {}});
      inEntry = true;
    }
  }
  return entries;
}

std::string compileHwdb(const std::vector<HwdbEntry>& entries) {
  Node root;
  for (const HwdbEntry& entry : entries) {
    Node* node = &root;
    for (char c : entry.pattern) {
      auto& child = node->children[static_cast<unsigned char>(c)];
      if (!child) child = std::make_unique<Node>();
      node = child.get();
    }
    node->values.insert(node->values.end(), entry.properties.begin(), entry.properties.end());
  }
  std::uint64_t next = kHeaderSize;
  layOut(root, next);
  const std::uint64_t stringsStart = next;

  Strings strings;
  std::string nodes;
  emit(root, stringsStart, strings, nodes);

  std::string file = "KSLPHHRH";
  put64(file, 252);  // the version of the tool that wrote it
  put64(file, kHeaderSize + nodes.size() + strings.section().size());
  put64(file, kHeaderSize);
  put64(file, kNodeSize);
  put64(file, kChildSize);
  put64(file, kValueSize);
  put64(file, root.offset);
  put64(file, nodes.size());
  put64(file, strings.section().size());
  return file + nodes + strings.section();
}

}  // namespace platform_linux_test
