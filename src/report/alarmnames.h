#pragma once
#include "report/cabinetsummary.h"

#include <QString>

// The alarm word's bits as the report names them: a short column title, the
// full text for tool tips and legends, and the CSV key.
namespace report {

struct AlarmName
{
    const char16_t *title;     // two lines, "\n" between
    const char16_t *longText;
    const char *key;           // CSV: alarm_<key>_minutes, alarm_<key>_episodes
};

const AlarmName &alarmName(int bit);   // bit 0..alarmBitCount-1

}  // namespace report
