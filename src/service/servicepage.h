#pragma once
#include "measurement.h"
#include "sensorservice.h"

#include <QStringList>
#include <QWidget>

class Link;
class OperatorUi;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;

// The service page "Настройки": a sensor's parameter list with reading,
// writing and the text file, the bus address, the measurement tab and the
// terminal of unrecognised collector lines. The buttons "Мост", "Авто" and
// "Перешить ПО" belong to the firmware window; the main window puts them
// into firmwareSlot(). "Порт" only asks for the port dialog.
class ServicePage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int terminalLines = 5000;   // a chatty collector must not eat the memory

    ServicePage(Link &link, OperatorUi &ui, QWidget *parent = nullptr);

    // The bus address of every exchange of the page: `num`, 63 with
    // addressing off.
    int busAddress() const;
    QWidget *firmwareSlot() const { return firmwareSlot_; }

    QStringList rows() const;                 // texts of `v`, row 0 first
    void setRows(const QStringList &rows);

    SensorService &service() { return service_; }
    void setSensorTimings(const SensorTimings &timings) { service_.setTimings(timings); }
    QString parameterFilePath() const { return filePath_; }
    void setParameterFilePath(const QString &path) { filePath_ = path; }

    void readDClick();
    void writeDClick();
    void Button12Click();
    void Button5Click();
    void CheckBox1Click();
    void mesClick();
    void Button7Click();
    void Button4Click();
    void Button1Click();
    void dirsRefresh();
    void Button9Click();

    QTableWidget *v = nullptr;
    QPushButton *readD = nullptr;
    QPushButton *writeD = nullptr;
    QPushButton *Button12 = nullptr;
    QPushButton *Button5 = nullptr;
    QCheckBox *CheckBox1 = nullptr;
    QSpinBox *num = nullptr;
    QPushButton *Button14 = nullptr;

    QTabWidget *tabs = nullptr;
    QLineEdit *extt = nullptr;
    QLineEdit *Edit1 = nullptr;
    QLineEdit *hum = nullptr;
    QLineEdit *Edit2 = nullptr;
    QLineEdit *Edit4 = nullptr;
    QPushButton *Button4 = nullptr;
    QLineEdit *intt = nullptr;
    QLineEdit *Edit3 = nullptr;
    QCheckBox *wr = nullptr;
    QPushButton *mes = nullptr;
    QPushButton *Button7 = nullptr;
    QPushButton *Button1 = nullptr;

    QPlainTextEdit *Terminal = nullptr;
    QPushButton *Button8 = nullptr;
    QPushButton *Button9 = nullptr;

Q_SIGNALS:
    void portRequested();   // "Порт"

private:
    QWidget *buildParameters();
    QWidget *buildMeasurements();
    QWidget *buildTerminal();
    void showFrame(const FrameTexts &texts);
    // Keeps the operator off the port while a read or write holds it.
    void setExchanging(bool on);

    Link &link_;
    OperatorUi &ui_;
    SensorService service_;
    MeasurementMonitor monitor_;
    QString filePath_;
    int rememberedAddress_ = 1;   // `num`'s tag
    QWidget *firmwareSlot_ = nullptr;
    QList<QWidget *> portControls_;
};
