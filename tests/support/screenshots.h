#pragma once
// What the screenshot programs share: where the pictures go and saving one.
#include <QDir>
#include <QString>
#include <QWidget>
#include <cstdio>

namespace screenshots {

// The folder named by the program's first argument, "screenshots" in the
// working folder without one; created if missing.
inline QString folder(int argc, char **argv)
{
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(path);
    return path;
}

// Saves what the widget shows and says so, or that it could not.
inline bool save(QWidget &widget, const QString &path)
{
    const bool ok = widget.grab().save(path);
    std::printf("%s %s\n", ok ? "saved" : "FAILED", qPrintable(path));
    return ok;
}

}  // namespace screenshots
