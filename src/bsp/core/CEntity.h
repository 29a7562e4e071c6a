#pragma once

#include "CEntityKeyValue.h"

#include <QString>
#include <QVector>

// One entity of a map's entity lump: an ordered list of key/value pairs.
// Keys compare exactly; a key may occur several times (an entity's outputs
// repeat their names), and every lookup uses the first pair with the key.
class CEntity
{
public:
    CEntity() = default;

    const QVector<CEntityKeyValue> &pairs() const { return m_pairs; }
    QVector<CEntityKeyValue> &pairs() { return m_pairs; }
    int pairCount() const { return m_pairs.size(); }

    // The first pair with the key, or null. The pointer lives until the
    // pairs change.
    CEntityKeyValue *find(const QString &key);
    const CEntityKeyValue *find(const QString &key) const;
    // Value of the first pair with the key; empty when there is none.
    QString value(const QString &key) const;
    bool hasKey(const QString &key) const;
    // Some pair's value equals the argument.
    bool hasValue(const QString &value) const;
    // The first pair with the key holds exactly this value.
    bool hasKeyValue(const QString &key, const QString &value) const;
    // The first pair with the key takes the value; without one a pair is
    // appended.
    void setKeyValue(const QString &key, const QString &value);
    // A new pair at `index`: -1 or past the end appends, any other negative
    // index inserts first. Existing keys are not looked at.
    void insertKeyValue(const QString &key, const QString &value, int index = -1);
    // Removes the first pair with the key, if any.
    void removeKey(const QString &key);

    // "classname", followed by " (targetname)" when the target name is not
    // empty: "light (lamp1)".
    QString label() const;

private:
    int indexOf(const QString &key) const;

    QVector<CEntityKeyValue> m_pairs;
};
