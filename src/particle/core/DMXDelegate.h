#pragma once

#include <QString>

// Base of the DMX readers and writers: the text of the last failure, which a
// later success leaves in place.
class DMXDelegate
{
public:
    DMXDelegate();
    virtual ~DMXDelegate();

    const QString &error() const { return m_error; }

protected:
    void setError(const QString &text) { m_error = text; }

    QString m_error;
};
