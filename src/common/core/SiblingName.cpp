#include "SiblingName.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// Where the system cannot say: the limit of every common file system.
constexpr int DefaultMaxLength = 255;
constexpr int HashDigits = 8;
constexpr int RandomLetters = 6;

// The first bytes of `name`, at most `length`, not ending inside a UTF-8
// character.
QByteArray cutAtCharacter(const QByteArray &name, int length)
{
    if (length >= name.size())
        return name;
    int end = qMax(length, 0);
    while (end > 0 && (quint8(name[end]) & 0xC0) == 0x80)
        --end;
    return name.left(end);
}

} // namespace

namespace SiblingName {

int maxLength(const QString &target)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    if (limit > 0 && limit < DefaultMaxLength * 16)
        return int(limit);
#else
    Q_UNUSED(target)
#endif
    return DefaultMaxLength;
}

QString of(const QString &target, const QString &suffix, int room)
{
    const QFileInfo info(target);
    const QByteArray name = QFile::encodeName(info.fileName());
    const QByteArray tail = QFile::encodeName(suffix);
    const int limit = maxLength(target) - room;
    QByteArray sibling = name + tail;
    if (sibling.size() > limit) {
        const QByteArray hash =
            QCryptographicHash::hash(name, QCryptographicHash::Sha1).toHex().left(HashDigits);
        sibling = cutAtCharacter(name, limit - 1 - HashDigits - tail.size()) + '.' + hash + tail;
    }
    const QString folder = target.left(target.size() - info.fileName().size());
    return folder + QFile::decodeName(sibling);
}

QString backup(const QString &target)
{
    return of(target, QStringLiteral(".backup"));
}

QString temporary(const QString &target, int room)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString random(RandomLetters, QLatin1Char('0'));
    for (QChar &c : random)
        c = QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)]);
    return of(target, QLatin1Char('.') + random + QStringLiteral(".tmp"), room);
}

} // namespace SiblingName
