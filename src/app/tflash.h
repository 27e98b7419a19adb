#pragma once
#include <QWidget>

class QPlainTextEdit;

// The firmware update window. Its log `disp` receives every flashLog line.
class TFlash : public QWidget
{
    Q_OBJECT
public:
    explicit TFlash(QWidget *parent = nullptr);
    void appendLog(const QString &line);

private:
    QPlainTextEdit *disp = nullptr;
};
