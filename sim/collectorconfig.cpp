#include "collectorconfig.h"

CollectorConfig CollectorConfig::quiet()
{
    CollectorConfig c;
    c.reportMs = 0;
    c.statusMs = 0;
    c.clockMs = 0;
    c.gsmChatter = false;
    return c;
}

CollectorConfig CollectorConfig::demonstration()
{
    CollectorConfig c;
    c.gsmChatter = true;
    const quint8 watched = linkConnected | monitored;
    c.cabinets = {
        {1, watched},
        {2, watched},
        {3, watched},
        {4, linkConnected},
        {5, monitored | linkAlarm},
        {7, watched},
        {8, linkConnected | temporary},
        {11, watched},
        {12, linkConnected},
        {14, watched | temporary},
        {21, watched},
        {23, linkConnected},
    };
    return c;
}
