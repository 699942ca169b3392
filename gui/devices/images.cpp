#include "devices/images.h"

#include <QtGlobal>

#include <mutex>

static void initImages()
{
    Q_INIT_RESOURCE(images);
}

void PalvirInitImages()
{
    static std::once_flag once;
    std::call_once(once, initImages);
}
