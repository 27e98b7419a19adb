#pragma once
#include "viewer/chartpainters.h"

#include <QImage>
#include <QSize>
#include <QString>

struct DaySeries;

// A whole day of one cabinet as one picture: the time ruler, the temperature,
// humidity and state charts with their axes, and the state legend, drawn by
// the window's painters. The value scales are fitted as the window's rescale
// timer would fit them. Needs a QGuiApplication (fonts).
namespace daypicture {

constexpr int minimumWidth = 400;
constexpr int minimumHeight = 360;
constexpr int maximumSide = 16384;

QImage render(const DaySeries &s, const QString &title, QSize size, bool showTask = true,
              bool autoScale = true);

}  // namespace daypicture
