#pragma once
#include "modulesettings.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <optional>

class Collector;

// The ZEV-GSM module behind a simulated collector. It gets the texts the
// program passes with command 9; for each one the collector talks to it
// (marker byte 3, then byte 4), and what the module answers follows as a
// "%ZEV: " line, its tokens separated by bytes 0x85:
//   "*s"                    -> "#S" + blank + settings, "#C" + their crc16 in decimal
//   settings message        -> "#A" when its checksum matches (the items are
//                              taken), "#N" otherwise
//   "*R"                    -> the settings as now held, as for "*s"
// Other texts (the clock command, for one) get no answer.
class GsmModule : public QObject
{
    Q_OBJECT
public:
    struct Faults
    {
        bool wrongChecksum = false;  // reports carry a "#C" one higher than their text's
        bool silent = false;         // the module answers nothing
        int naksFirst = 0;           // settings messages answered "#N" before one is looked at
    };

    static constexpr int defaultAnswerMs = 50;   // from the collector's "%A" to byte 3
    static constexpr int defaultTalkMs = 150;    // from byte 3 to byte 4
    static constexpr qsizetype maxQueued = 64;   // texts waiting for the module; more are lost

    // Puts a module with `settings` behind `collector`, which owns it. Null
    // when the settings are not carriable (ModuleSettings::carriable).
    static GsmModule *install(Collector &collector, QByteArrayView settings = demonstrationSettings());
    // For collector-sim: the settings as typed (none: the demonstration's)
    // and fault names as for addFault. Null, with the reason, on a bad option.
    static GsmModule *installWithOptions(Collector &collector, const std::optional<QString> &settings,
                                         const QStringList &faults, QString *error);
    // A realistic set of items and a Russian template, in code page 1251.
    static QByteArray demonstrationSettings();

    QByteArray settings() const { return settings_.text(); }
    bool setSettings(QByteArrayView text) { return settings_.setText(text); }

    const Faults &faults() const { return faults_; }
    void setFaults(const Faults &faults);
    // "wrong-checksum", "silent" or "nak-first" added to the faults; false for another name.
    bool addFault(const QString &name);

    void setTalkTimes(int answerMs, int talkMs);
    QByteArrayList received() const { return received_; }   // every text, in order (the latest 200)

private:
    explicit GsmModule(Collector &collector);
    void receive(const QByteArray &text);
    void talk();
    void answer(const QByteArray &text);
    QByteArray report() const;

    QPointer<Collector> collector_;
    ModuleSettings settings_;
    Faults faults_;
    int naksLeft_ = 0;
    QByteArrayList queue_;
    QByteArrayList received_;
    QTimer answerTimer_;
    QTimer talkTimer_;
};
