#include "QDelayedMimeData.h"

QStringList QDelayedMimeData::formats() const
{
    return QMimeData::formats() + delayedFormats;
}

QVariant QDelayedMimeData::retrieveData(const QString &mimeType, QVariant::Type type) const
{
    emit dataRequested(const_cast<QDelayedMimeData *>(this), mimeType);
    return QMimeData::retrieveData(mimeType, type);
}
