// varnel-rs: makes, lists, checks and unpacks magazine archives.
//
// Reading goes through the reader's own archive code, so name matching and
// every error message are exactly what the magazine itself would show.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/common/tool_support.hpp"
#include "tools/varnel_rs/commands.hpp"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  varnel-rs pack -o ARCHIVE [-C DIR] [--store | --huffman | --auto] FILE|DIR|@LIST...\n"
    "  varnel-rs list ARCHIVE\n"
    "  varnel-rs extract ARCHIVE NAME [-o FILE]\n"
    "  varnel-rs unpack ARCHIVE -d DIR\n"
    "  varnel-rs verify ARCHIVE\n"
    "  varnel-rs check ARCHIVE       lint an issue as the reader would meet it\n";

}  // namespace

int main(int argc, char** argv) {
  tools::StartTool("varnel-rs");
  if (argc < 2) tools::UsageError(kUsage);
  const std::string command = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (command == "pack") return varnel_rs::Pack(args, kUsage);
  if (command == "list") return varnel_rs::List(args, kUsage);
  if (command == "extract") return varnel_rs::Extract(args, kUsage);
  if (command == "unpack") return varnel_rs::Unpack(args, kUsage);
  if (command == "verify") return varnel_rs::Verify(args, kUsage);
  if (command == "check") return varnel_rs::Check(args, kUsage);
  if (command == "-h" || command == "--help") {
    std::fputs(kUsage, stdout);
    return 0;
  }
  tools::UsageError(kUsage);
}
