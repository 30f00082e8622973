// kestrel-view SCENE.lws [--archive FILE.alf]
//   --envelope --frames F1,F2,...      evaluated motion as JSON lines
//   --frame F -o OUT.png [--size WxH]  one frame rendered offscreen
#include <cstdio>
#include <string>

#include "tools/kestrel_view/view.hpp"

int main(int argc, char** argv) {
  kestrel_view::Options options;
  std::string error;
  if (!kestrel_view::ParseArguments(argc, argv, &options, &error)) {
    std::fprintf(stderr, "kestrel-view: %s\n", error.c_str());
    std::fprintf(stderr,
                 "usage: kestrel-view SCENE.lws [--archive FILE.alf] "
                 "(--envelope --frames F1,F2,... | --frame F -o OUT.png [--size WxH])\n");
    return 1;
  }
  if (options.envelope) return kestrel_view::PrintEnvelopes(options);
  return kestrel_view::RenderFrame(options);
}
