#pragma once
#include <QDialog>

#include "tasks/linecodec.h"

class OperatorUi;
class QLineEdit;
class QPushButton;
class TrackEdit;

// The stage dialog "Этап инкубации": days, hours, temperature (decimal comma)
// and humidity. One instance for the whole run: it keeps the last values.
class TAddPrf : public QDialog
{
    Q_OBJECT
public:
    explicit TAddPrf(OperatorUi &ui, QWidget *parent = nullptr);

    // Shows a stage's values (temperature with one decimal).
    void preset(const TLineFields &f);

    // After OK: Days, Hours, Temperature and Humidity of the stage entered.
    void takeInto(TLineFields &f) const;

    TrackEdit *d;
    TrackEdit *h;
    QLineEdit *t;
    QLineEdit *hum;
    QPushButton *okButton;
    QPushButton *cancelButton;

public slots:
    void spSkinButton3Click();  // OK: checks in order, closes only when all pass
    void tChange();

private:
    OperatorUi &m_ui;
    float m_temperature = 0.0f;
    qint32 m_humidity = 0;
};
