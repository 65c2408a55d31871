#include "resources/init_resources.h"

#include <QtGlobal>

void quelt_init_resources()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(packed_classifiers);
}
