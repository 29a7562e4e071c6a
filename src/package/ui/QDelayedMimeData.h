#pragma once

#include <QMimeData>
#include <QStringList>

// Mime data whose delayed formats are produced only when a drop target asks
// for them: retrieveData() first announces the request, so a listener can
// fill the data in, then answers from what is stored.
class QDelayedMimeData : public QMimeData
{
    Q_OBJECT

public:
    QDelayedMimeData() = default;

    // The base formats followed by the delayed ones.
    QStringList formats() const override;

    QStringList delayedFormats;

signals:
    void dataRequested(QDelayedMimeData *data, const QString &mimeType) const;

protected:
    QVariant retrieveData(const QString &mimeType, QVariant::Type type) const override;
};
