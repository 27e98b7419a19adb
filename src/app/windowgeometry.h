#pragma once
#include <QSize>
#include <QString>

// The main window's first size on a screen of the given size: the design
// client area, as tall as the screen less 100 and 1024 wide where it fits.
QSize initialWindowSize(QSize screen);

// "Программа просмотра статистики инкубатора v" and the program's version.
QString mainWindowCaption();
