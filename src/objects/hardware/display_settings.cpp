#include "orvacmn/hardware/display_settings.h"

#include "ofl/tokenizer.h"
#include "ofl/tools.h"

namespace orvacmn {
namespace {

constexpr int32_t kDefaultWidth = 1024;
constexpr int32_t kDefaultHeight = 768;
constexpr int32_t kDefaultDepth = 16;
constexpr int32_t kDefaultFrequency = 60;

struct ColorText {
  const char* text;
  int32_t depth;
};
constexpr ColorText kColors[] = {
    {"256 Colors (8 bit)", 8},
    {"High Color (16 bit)", 16},
    {"True Color (24 bit)", 24},
    {"True Color (32 bit)", 32},
};

}  // namespace

void OVOHardwareDisplaySettings::FromProfileProperties(const OVO::Properties& properties, int32_t& width,
                                                       int32_t& height, int32_t& depth, int32_t& frequency) {
  String text;
  if (properties.GetProperty(kPropResolution, text) && !text.empty()) {
    const OFLTokenizer parts(text, "x");
    width = OFL::CRT::atol(parts.GetAt(0));
    height = OFL::CRT::atol(parts.GetAt(1));
  } else {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }

  if (!properties.GetProperty(kPropColorDepth, text) || text.empty()) {
    depth = kDefaultDepth;
  } else {
    for (const ColorText& c : kColors)
      if (text == c.text) depth = c.depth;
  }

  int32_t rate = 0;
  properties.GetProperty(kPropRefreshRate, rate);
  frequency = rate == 0 ? kDefaultFrequency : rate;
}

int OVOHardwareDisplaySettings::FromProperties(const OVO::Properties& properties, int32_t& width, int32_t& height,
                                               int32_t& depth, int32_t& frequency) {
  String text;
  if (!properties.GetProperty(kPropResolution, text) || text.empty()) return 0;
  FromProfileProperties(properties, width, height, depth, frequency);
  return 1;
}

}  // namespace orvacmn
