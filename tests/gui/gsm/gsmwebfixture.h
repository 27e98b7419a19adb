#pragma once
#include <QApplication>
#include <QtTest>

#include "gsm/gsmexchange.h"
#include "gsm/gsmsettingstab.h"
#include "link/cp1251.h"
#include "link/operatorui.h"
#include "unit/gsm/fakegsmlink.h"

// One settings tab over the real web engine, a scripted module behind it.
struct GsmWebFixture
{
    FakeGsmLink link;
    ScriptedOperator ui;
    GsmExchange exchange;
    GsmSettingsTab tab;

    explicit GsmWebFixture(bool serviceMode = false)
        : exchange(link, ui), tab(&exchange, serviceMode)
    {
        link.realWaits = true;
        link.deliver = [this](const QByteArray &line) { exchange.onZevLine(line); };
        // The module confirms every settings message.
        link.onSend = [this](const QByteArray &text) {
            if (text.startsWith("\r\r*C"))
                link.pending << QByteArray("%ZEV: \x85#A");
        };
        tab.resize(1000, 700);
    }

    bool showAndLoad()
    {
        tab.show();
        return QTest::qWaitFor([this] { return tab.pageLoaded(); }, 30000);
    }

    // The module reports `settings` with a matching checksum.
    void report(const QString &settings)
    {
        const QByteArray bytes = cp1251::encode(settings);
        quint16 c = 0xFFFF;
        for (char b : bytes) {
            c ^= quint8(b);
            for (int i = 0; i < 8; ++i)
                c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        }
        exchange.onZevLine("%ZEV: \x85#S " + bytes + "\x85#C" + QByteArray::number(c));
    }

    QVariant js(const QString &script) { return tab.runPageScript(script); }
};

// The web engine wants its OpenGL attribute before the application exists.
#define GSM_WEB_TEST_MAIN(TestClass)                 \
    int main(int argc, char **argv)                  \
    {                                                \
        GsmSettingsTab::prepareApplication();        \
        QApplication app(argc, argv);                \
        TestClass test;                              \
        return QTest::qExec(&test, argc, argv);      \
    }
