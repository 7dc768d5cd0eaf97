// The packed schedule interval of a job.
#include "orvacmn/common/ovo_helper.h"

namespace orvacmn {
namespace {

constexpr uint32_t kMinutesMask = 0x7FF;
constexpr int kKindShift = 12;
constexpr uint32_t kKindMask = 0xF;
constexpr int kCountShift = 16;
constexpr uint32_t kCountMask = 0xFF;
constexpr int kDaysShift = 24;
constexpr uint32_t kAllDays = 0x7F000000;

}  // namespace

uint32_t OVOHelper::CompressInterval(uint32_t kind, uint32_t count, uint32_t minutes, bool monday, bool tuesday,
                                     bool wednesday, bool thursday, bool friday, bool saturday, bool sunday) {
  uint32_t value = (minutes & kMinutesMask) | ((kind & kKindMask) << kKindShift) |
                   ((count & kCountMask) << kCountShift);
  // Monthly kinds run on their day of the month, whatever the weekday.
  kind &= kKindMask;
  if (kind == 1 || kind == 2) return value | kAllDays;
  const bool days[] = {monday, tuesday, wednesday, thursday, friday, saturday, sunday};
  for (int i = 0; i < 7; ++i)
    if (days[i]) value |= 1u << (kDaysShift + i);
  return value;
}

uint32_t OVOHelper::CompressInterval(const IntervalParts& p) {
  return CompressInterval(p.kind, p.count, p.minutes, p.monday, p.tuesday, p.wednesday, p.thursday, p.friday,
                          p.saturday, p.sunday);
}

void OVOHelper::ExpandInterval(uint32_t interval, uint32_t& kind, uint32_t& count, uint32_t& minutes, bool& monday,
                               bool& tuesday, bool& wednesday, bool& thursday, bool& friday, bool& saturday,
                               bool& sunday) {
  const IntervalParts p = ExpandInterval(interval);
  kind = p.kind;
  count = p.count;
  minutes = p.minutes;
  monday = p.monday;
  tuesday = p.tuesday;
  wednesday = p.wednesday;
  thursday = p.thursday;
  friday = p.friday;
  saturday = p.saturday;
  sunday = p.sunday;
}

OVOHelper::IntervalParts OVOHelper::ExpandInterval(uint32_t interval) {
  IntervalParts p;
  p.minutes = interval & kMinutesMask;
  p.kind = (interval >> kKindShift) & kKindMask;
  p.count = (interval >> kCountShift) & kCountMask;
  auto day = [interval](int i) { return (interval >> (kDaysShift + i) & 1u) != 0; };
  p.monday = day(0);
  p.tuesday = day(1);
  p.wednesday = day(2);
  p.thursday = day(3);
  p.friday = day(4);
  p.saturday = day(5);
  p.sunday = day(6);
  return p;
}

}  // namespace orvacmn
