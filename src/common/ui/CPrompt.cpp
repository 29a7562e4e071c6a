#include "CPrompt.h"

#include "CPath.h"
#include "CProgressAside.h"

#include <QColorDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

CPrompt::Handler &handler()
{
    static CPrompt::Handler instance;
    return instance;
}

CPrompt::ScopedWatch::Watcher &watcher()
{
    static CPrompt::ScopedWatch::Watcher instance;
    return instance;
}

QString &rememberedDirectory()
{
    static QString directory;
    return directory;
}

void setOk(bool *ok, bool value)
{
    if (ok)
        *ok = value;
}

} // namespace

void CPrompt::setHandler(Handler newHandler)
{
    handler() = std::move(newHandler);
}

bool CPrompt::hasHandler()
{
    return static_cast<bool>(handler());
}

CPrompt::ScopedHandler::ScopedHandler(Handler newHandler)
    : m_previous(handler())
{
    setHandler(std::move(newHandler));
}

CPrompt::ScopedHandler::~ScopedHandler()
{
    setHandler(std::move(m_previous));
}

CPrompt::ScopedWatch::ScopedWatch(Watcher newWatcher)
    : m_previous(std::move(watcher()))
{
    watcher() = std::move(newWatcher);
}

CPrompt::ScopedWatch::~ScopedWatch()
{
    watcher() = std::move(m_previous);
}

QMessageBox::StandardButton CPrompt::message(Kind kind, QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    const CProgressAside aside;
    Request request;
    request.kind = kind;
    request.parent = parent;
    request.title = title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    if (watcher())
        watcher()(request);
    if (handler())
        return handler()(request).button;
    switch (kind) {
    case Kind::Question:
        return QMessageBox::question(parent, title, text, buttons, defaultButton);
    case Kind::Information:
        return QMessageBox::information(parent, title, text, buttons, defaultButton);
    case Kind::Warning:
        return QMessageBox::warning(parent, title, text, buttons, defaultButton);
    default:
        return QMessageBox::critical(parent, title, text, buttons, defaultButton);
    }
}

QMessageBox::StandardButton CPrompt::question(QWidget *parent, const QString &title,
                                              const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return message(Kind::Question, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CPrompt::information(QWidget *parent, const QString &title,
                                                 const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    return message(Kind::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CPrompt::warning(QWidget *parent, const QString &title,
                                             const QString &text,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    return message(Kind::Warning, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CPrompt::critical(QWidget *parent, const QString &title,
                                              const QString &text,
                                              QMessageBox::StandardButtons buttons,
                                              QMessageBox::StandardButton defaultButton)
{
    return message(Kind::Critical, parent, title, text, buttons, defaultButton);
}

QString CPrompt::getText(QWidget *parent, const QString &title, const QString &label,
                         QLineEdit::EchoMode echo, const QString &text, bool *ok)
{
    const CProgressAside aside;
    if (handler()) {
        Request request;
        request.kind = Kind::Text;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.echo = echo;
        request.initialText = text;
        const Answer answer = handler()(request);
        setOk(ok, answer.ok);
        return answer.ok ? answer.text : QString();
    }
    return QInputDialog::getText(parent, title, label, echo, text, ok);
}

QString CPrompt::getItem(QWidget *parent, const QString &title, const QString &label,
                         const QStringList &items, int current, bool editable, bool *ok)
{
    const CProgressAside aside;
    if (handler()) {
        Request request;
        request.kind = Kind::Item;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.items = items;
        request.current = current;
        request.editable = editable;
        const Answer answer = handler()(request);
        setOk(ok, answer.ok);
        // Like the real box, a cancel answers with the preset item.
        if (!answer.ok)
            return items.value(current);
        return answer.text;
    }
    return QInputDialog::getItem(parent, title, label, items, current, editable, ok);
}

int CPrompt::getInt(QWidget *parent, const QString &title, const QString &label, int value,
                    int minimum, int maximum, int step, bool *ok)
{
    const CProgressAside aside;
    if (handler()) {
        Request request;
        request.kind = Kind::Int;
        request.parent = parent;
        request.title = title;
        request.text = label;
        request.value = value;
        request.minimum = minimum;
        request.maximum = maximum;
        request.step = step;
        const Answer answer = handler()(request);
        setOk(ok, answer.ok);
        // Like the real box: a cancel answers the preset value, and an answer
        // is always within the range.
        if (!answer.ok)
            return value;
        return qBound(minimum, answer.value, maximum);
    }
    return QInputDialog::getInt(parent, title, label, value, minimum, maximum, step, ok);
}

QString CPrompt::startDirectory(const QString &directory)
{
    return directory.isEmpty() ? rememberedDirectory() : directory;
}

void CPrompt::rememberFile(const QString &path)
{
    if (path.isEmpty())
        return;
    QString directory = CPath(path, true).directory();
    // A file in the root folder has an empty directory part; the folder is
    // still "/", not "no folder at all".
    if (directory.isEmpty() && CPath::normalizeSeparators(path).startsWith(QLatin1Char('/')))
        directory = QStringLiteral("/");
    rememberedDirectory() = directory;
}

namespace {

// A file or directory question for the installed handler; `paths` gets the
// answer (empty when cancelled), `chosenFilter` the save dialog's filter.
void askHandler(CPrompt::Kind kind, QWidget *parent, const QString &caption,
                const QString &directory, const QString &filter, QStringList &paths,
                QString *chosenFilter = nullptr)
{
    CPrompt::Request request;
    request.kind = kind;
    request.parent = parent;
    request.title = caption;
    request.directory = directory;
    request.filter = filter;
    const CPrompt::Answer answer = handler()(request);
    if (chosenFilter)
        *chosenFilter = answer.filter;
    if (!answer.ok)
        paths.clear();
    else if (kind == CPrompt::Kind::OpenFileNames)
        paths = answer.texts;
    else
        paths = QStringList{answer.text};
}

// One path: from the handler when one is installed, else from the real dialog.
QString askOnePath(CPrompt::Kind kind, QWidget *parent, const QString &caption,
                   const QString &directory, const QString &filter,
                   const std::function<QString()> &realDialog)
{
    if (!handler())
        return realDialog();
    QStringList paths;
    askHandler(kind, parent, caption, directory, filter, paths);
    return paths.value(0);
}

} // namespace

QString CPrompt::getOpenFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter)
{
    const CProgressAside aside;
    const QString start = startDirectory(directory);
    const QString path = askOnePath(Kind::OpenFileName, parent, caption, start, filter, [&] {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    });
    rememberFile(path);
    return path;
}

QStringList CPrompt::getOpenFileNames(QWidget *parent, const QString &caption,
                                      const QString &directory, const QString &filter)
{
    const CProgressAside aside;
    const QString start = startDirectory(directory);
    QStringList paths;
    if (handler())
        askHandler(Kind::OpenFileNames, parent, caption, start, filter, paths);
    else
        paths = QFileDialog::getOpenFileNames(parent, caption, start, filter);
    if (!paths.isEmpty())
        rememberFile(paths.first());
    return paths;
}

QString CPrompt::getSaveFileName(QWidget *parent, const QString &caption, const QString &directory,
                                 const QString &filter)
{
    const CProgressAside aside;
    const QString start = startDirectory(directory);
    QString chosenFilter;
    QString path;
    if (handler()) {
        QStringList paths;
        askHandler(Kind::SaveFileName, parent, caption, start, filter, paths, &chosenFilter);
        path = paths.value(0);
    } else {
        // The dialog adds the suffix itself, so it asks before replacing the
        // file the name with suffix names.
        QFileDialog dialog(parent, caption, start, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(filterSuffix(filter.section(QStringLiteral(";;"), 0, 0)));
        QObject::connect(
            &dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString &entry) { dialog.setDefaultSuffix(filterSuffix(entry)); });
        if (dialog.exec() == QDialog::Accepted) {
            path = dialog.selectedFiles().value(0);
            chosenFilter = dialog.selectedNameFilter();
        }
    }
    path = withFilterSuffix(path, filter, chosenFilter);
    rememberFile(path);
    return path;
}

QString CPrompt::getPlainOpenFileName(QWidget *parent, const QString &caption,
                                      const QString &directory, const QString &filter)
{
    const CProgressAside aside;
    return askOnePath(Kind::OpenFileName, parent, caption, directory, filter, [&] {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    });
}

QString CPrompt::filterSuffix(const QString &filterEntry)
{
    // The patterns stand in brackets after the filter's name; a bare list of
    // patterns is taken as it is.
    static const QRegularExpression bracketed(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = bracketed.match(filterEntry);
    const QString patterns = match.hasMatch() ? match.captured(1) : filterEntry;
    static const QRegularExpression plainSuffix(QStringLiteral("^\\*\\.([^*?\\[\\]]+)$"));
    for (const QString &pattern : patterns.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch suffix = plainSuffix.match(pattern);
        if (suffix.hasMatch())
            return suffix.captured(1);
    }
    return QString();
}

QString CPrompt::withFilterSuffix(const QString &path, const QString &filter,
                                  const QString &filterEntry)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    const QString entry =
        filterEntry.isEmpty() ? filter.section(QStringLiteral(";;"), 0, 0) : filterEntry;
    const QString suffix = filterSuffix(entry);
    return suffix.isEmpty() ? path : path + QLatin1Char('.') + suffix;
}

QString CPrompt::getExistingDirectory(QWidget *parent, const QString &caption,
                                      const QString &directory)
{
    const CProgressAside aside;
    const QString start = startDirectory(directory);
    const QString path =
        askOnePath(Kind::ExistingDirectory, parent, caption, start, QString(), [&] {
            return QFileDialog::getExistingDirectory(parent, caption, start,
                                                     QFileDialog::ShowDirsOnly);
        });
    // The directory's own parent, so the next dialog shows it among its siblings.
    rememberFile(path);
    return path;
}

QColor CPrompt::getColor(const QColor &initial, QWidget *parent, const QString &title)
{
    const CProgressAside aside;
    if (handler()) {
        Request request;
        request.kind = Kind::Color;
        request.parent = parent;
        request.title = title;
        request.color = initial;
        const Answer answer = handler()(request);
        return answer.ok ? answer.color : QColor();
    }
    return QColorDialog::getColor(initial, parent, title);
}

int CPrompt::exec(QDialog *dialog)
{
    if (!dialog)
        return QDialog::Rejected;
    const CProgressAside aside(dialog);
    if (handler()) {
        Request request;
        request.kind = Kind::Exec;
        request.parent = dialog->parentWidget();
        request.title = dialog->windowTitle();
        request.dialog = dialog;
        const int result = handler()(request).result;
        dialog->done(result);
        return result;
    }
    return dialog->exec();
}

QString CPrompt::lastDirectory()
{
    return rememberedDirectory();
}

void CPrompt::setLastDirectory(const QString &directory)
{
    rememberedDirectory() = directory;
}
