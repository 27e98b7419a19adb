#pragma once
#include <QByteArray>
#include <QString>

#include "gsm/gsmtimings.h"

class GsmLink;
class GsmPage;
class OperatorUi;

// Reads the GSM module's settings and writes back what the operator changed.
// Shared by the settings tab and the command-line tool; it never touches a
// widget: the page, the link and the operator are interfaces.
//
// The link hands every line that begins with "%ZEV: " to onZevLine(), also
// while this object waits inside a read or a write.
class GsmExchange
{
public:
    GsmExchange(GsmLink &link, OperatorUi &ui, GsmTimings timings = {});

    void setPage(GsmPage *page);   // null: no page (nothing is loaded, nothing is sent)
    GsmPage *page() const { return page_; }
    const GsmTimings &timings() const { return timings_; }
    bool closing() const;

    // A reply line from the module, whole, "%ZEV: " included.
    void onZevLine(const QByteArray &line);

    // Sends CR + text + CR to the module; false without sending when no page
    // has loaded. The collector's answer is returned but proves nothing:
    // only the module's "#A" does.
    bool SendGsmText(const QByteArray &text);

    // Asks the module for its settings; the page waits until they arrive.
    // `showService` opens the page's service sections. Ignored during a write.
    void requestSettings(bool showService);

    // The write button: commits the page's pending edit and writes what
    // differs from the module's current settings.
    bool writeFromPage();

    // Writes what `newText` (a settings text) changes against the module's
    // current settings: the settings message, the SMS message when the
    // template changed, then the closing text. Reports to the operator.
    bool writeText(const QString &newText);

    // For the command-line tool: ask and wait for the settings.
    bool readSettings();
    // For the command-line tool: read the current settings, then write what
    // `text` changes exactly as the write button does.
    bool writeChanges(const QString &text);

    bool writing() const { return writing_; }

    // The module's state as last reported.
    const QByteArray &settingsRaw() const { return GsmSettingsRaw; }
    quint16 crcLocal() const { return GsmCrcLocal; }
    quint16 crcReceived() const { return GsmCrcReceived; }
    const QString &settings() const { return GsmSettings; }
    bool confirmed() const { return GsmConfirmed; }
    bool resendRequested() const { return GsmResendRequested; }
    bool settingsShown() const { return SettingsShown; }
    bool settingsValid() const;   // the latest "#S" text has a matching "#C"

    // A settings message: CR "*C" checksum CR "*S" items CR.
    static QByteArray settingsMessage(const QByteArray &items);
    static QByteArray closingText();   // CR CR "*R" CR CR

private:
    class BusyCursor;
    bool write(const QString &newText, BusyCursor &busy);
    bool sendConfirmed(const QByteArray &text, bool repeatOnResend);
    bool failWrite(BusyCursor &busy);

    GsmLink &link_;
    OperatorUi &ui_;
    GsmTimings timings_;
    GsmPage *page_ = nullptr;
    bool writing_ = false;

    QByteArray GsmSettingsRaw;
    quint16 GsmCrcLocal = 0;
    quint16 GsmCrcReceived = 0;
    QString GsmSettings;
    bool GsmConfirmed = false;
    bool GsmResendRequested = false;
    bool SettingsShown = false;
};
