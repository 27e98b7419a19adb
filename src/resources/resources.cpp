#include "resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initIncubatorQrc()
{
    Q_INIT_RESOURCE(incubator);
}

namespace resources {

void init()
{
    static const bool done = (initIncubatorQrc(), true);
    Q_UNUSED(done);
}

}  // namespace resources
