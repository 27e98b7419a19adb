#include "windowgeometry.h"

QSize initialWindowSize(QSize screen)
{
    QSize size(865, 522);
    if (screen.height() > 450)
        size.setHeight(screen.height() - 100);
    if (screen.width() >= 1024)
        size.setWidth(1024);
    return size;
}

QString mainWindowCaption()
{
    return QStringLiteral("Программа просмотра статистики инкубатора v") + QStringLiteral(INCUBATOR_VERSION);
}
