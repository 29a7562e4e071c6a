#include "CFileFGD.h"

#include "CFGDParser.h"
#include "GamedataErrors.h"

#include <QDebug>
#include <QIODevice>

namespace {
CFileFGD::UnknownItemHook &unknownItemHook()
{
    static CFileFGD::UnknownItemHook hook;
    return hook;
}
} // namespace

CFileFGD::CFileFGD()
{
    m_displayName = QStringLiteral("untitled");
}

CFileFGD::~CFileFGD() = default;

bool CFileFGD::read(QDataStream &stream)
{
    QIODevice *device = stream.device();
    if (!device) {
        m_error = QString::fromLatin1(GamedataError::DeviceNotValid);
        return false;
    }
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly)) {
        m_error = QString::fromLatin1(GamedataError::DeviceNotOpen);
        return false;
    }
    if (!device->isReadable()) {
        m_error = QString::fromLatin1(GamedataError::DeviceNotReadable);
        return false;
    }
    return parse(device->readAll());
}

bool CFileFGD::write(QDataStream &stream)
{
    Q_UNUSED(stream);
    return false;
}

bool CFileFGD::parse(const QByteArray &text)
{
    CFGDParser parser(text, *this);
    if (parser.parse())
        return true;
    m_error = parser.error();
    return false;
}

CFileFGD::UnknownItemHook CFileFGD::setUnknownItemHook(UnknownItemHook hook)
{
    UnknownItemHook previous = std::move(unknownItemHook());
    unknownItemHook() = std::move(hook);
    return previous;
}

void CFileFGD::reportUnknownItem(const QByteArray &name)
{
    // A copy: the box the hook shows runs an event loop, in which the hook
    // may be replaced.
    const UnknownItemHook hook = unknownItemHook();
    if (hook)
        hook(name);
    else
        qWarning("Unknown Item: %s", name.constData());
}
