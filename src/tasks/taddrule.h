#pragma once
#include <QDate>
#include <QDialog>

class QCalendarWidget;
class QLabel;
class QListWidget;
class QPushButton;
class TrackEdit;

// "Добавить профиль в задание": a start day on the calendar, a start hour and,
// unless hidden, the library profile to place there. One instance for the run.
class TaddRule : public QDialog
{
    Q_OBJECT
public:
    explicit TaddRule(QWidget *parent = nullptr);

    void setProfiles(const QStringList &headers);
    int selectedProfile() const;  // row of the chosen profile, or -1
    void setProfileListShown(bool shown);

    void preset(QDate date, int hour);
    QDate startDate() const;
    int startHour() const;

    QCalendarWidget *d;
    TrackEdit *h;
    QLabel *prfl;
    QListWidget *prf;
    QPushButton *ok;
    QPushButton *cancel;

public slots:
    void prfClick();
    void FormActivate();
    void okClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void updateOk();
};
