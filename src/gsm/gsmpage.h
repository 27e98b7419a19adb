#pragma once
#include <QString>

// The settings page as the exchange sees it: a few elements reached by id.
// The window implements it over the embedded browser; the command-line tool
// and tests use PlainGsmPage.
class GsmPage
{
public:
    virtual ~GsmPage() = default;

    virtual bool loaded() const = 0;                                     // the page has finished loading
    virtual void click(const QString &id) = 0;                           // runs the element's onclick
    virtual void setValue(const QString &id, const QString &text) = 0;   // sets an input's value, then clicks it
    virtual QString value(const QString &id) = 0;                        // an input's value; empty when missing
};
