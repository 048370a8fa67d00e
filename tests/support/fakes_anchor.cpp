// Keeps the fakes library non-empty while its folder fills up.
namespace tests_support {
int fakesAnchor() { return 0; }
}  // namespace tests_support
