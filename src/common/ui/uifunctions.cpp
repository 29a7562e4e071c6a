#include "uifunctions.h"

#include "CPrompt.h"

#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

namespace {

const char *const EmptyIcon = ":/resources/icons/empty";

// One private folder for the probe files whose icons the platform is asked
// for; it goes away with its contents when the program ends.
struct IconProbe
{
    QTemporaryDir folder;
    QFileIconProvider provider;
};

IconProbe &iconProbe()
{
    static IconProbe probe;
    return probe;
}

// An extension comes from file and entry names: it must never make the probe
// name leave its folder or name the folder itself.
bool isSafeExtension(const QString &extension)
{
    return !extension.contains(QLatin1Char('/')) && !extension.contains(QLatin1Char('\\')) &&
           !extension.contains(QLatin1Char('\0')) && extension.size() <= 200;
}

} // namespace

int textWidth(const QString &text)
{
    // Made per call: a metrics object kept in a static would outlive the
    // application's font database.
    return QFontMetrics(QFont()).horizontalAdvance(text);
}

void fitColumnToContents(QTableView *table, int column, int maximum)
{
    if (!table)
        return;
    table->resizeColumnToContents(column);
    QHeaderView *header = table->horizontalHeader();
    const int minimum = header->minimumSectionSize();
    header->resizeSection(column,
                          qBound(minimum, header->sectionSize(column), qMax(minimum, maximum)));
}

void centerWidget(QWidget *widget, QWidget *reference)
{
    if (!widget || !reference)
        return;
    widget->adjustSize();
    const QPoint origin = reference->mapToGlobal(QPoint(0, 0));
    const int dx = (reference->width() - widget->width()) / 2;
    const int dy = (reference->height() - widget->height()) / 2;
    widget->move(origin.x() + dx, origin.y() + dy);
}

void appendPlainLine(QTextEdit *edit, const QString &text)
{
    QTextCursor cursor(edit->document());
    cursor.movePosition(QTextCursor::End);
    if (!edit->document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(text);
}

QIcon iconForExtension(const QString &extension)
{
    IconProbe &probe = iconProbe();
    if (!probe.folder.isValid() || !isSafeExtension(extension))
        return QIcon(QString::fromLatin1(EmptyIcon));

    QString name = QStringLiteral("probe");
    if (!extension.isEmpty())
        name += QLatin1Char('.') + extension.toLower();
    const QString path = QDir(probe.folder.path()).filePath(name);
    if (!QFileInfo::exists(path)) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
    }
    QFileInfo info(path);
    info.setCaching(false);
    if (!info.isFile())
        return QIcon(QString::fromLatin1(EmptyIcon));
    return probe.provider.icon(info);
}

QMessageBox::StandardButton askToSaveChanges(QWidget *window)
{
    QMessageBox box(QMessageBox::Question, window->windowTitle(),
                    QObject::tr("The file has been modified."),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, window);
    box.setInformativeText(QObject::tr("Do you want to save your changes?"));
    box.setDefaultButton(QMessageBox::Save);
    return QMessageBox::StandardButton(CPrompt::exec(&box));
}
