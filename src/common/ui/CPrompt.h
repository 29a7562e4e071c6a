#pragma once

#include <QColor>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <functional>

// The one way every tool asks the user a modal question: message boxes, input
// boxes, file dialogs and the project's own dialogs (exec). Each function
// mirrors its Qt namesake and, by default, shows the real Qt dialog. While a
// question waits, handler or not, every progress dialog steps aside
// (CProgressAside), so none can cover it.
//
// Tests install a handler that answers instead, so nothing ever blocks:
//
//     CPrompt::ScopedHandler script([](const CPrompt::Request &r) {
//         CPrompt::Answer a;
//         if (r.kind == CPrompt::Kind::Question)
//             a.button = QMessageBox::Yes;
//         return a;
//     });
//
// With a handler installed, exec() does not run the dialog's event loop: the
// handler may fill in the dialog (it gets the pointer) and returns the result,
// which CPrompt passes to QDialog::done() so the dialog's accepted()/rejected()
// wiring runs as it would for a user.
//
// The file dialogs share one remembered directory: an empty directory
// argument opens the remembered one, and a choice remembers the chosen file's
// directory (the first file's for several files; for a chosen directory, its
// parent). A cancelled dialog leaves it alone. getPlainOpenFileName() is the
// exception: it neither uses nor changes it.
//
// A save dialog answers with the chosen filter's suffix added when the typed
// name has none ("test_edited" under "Particle Configuration File (*.pcf)"
// gives "test_edited.pcf").
class CPrompt
{
public:
    enum class Kind
    {
        Question,
        Information,
        Warning,
        Critical,
        Text,
        Item,
        Int,
        OpenFileName,
        OpenFileNames,
        SaveFileName,
        ExistingDirectory,
        Color,
        Exec
    };

    // Everything the question would have shown; fields a kind does not use stay
    // at their defaults.
    struct Request
    {
        Kind kind = Kind::Question;
        QWidget *parent = nullptr;
        QString title; // window title or file dialog caption
        QString text;  // message or input label
        QMessageBox::StandardButtons buttons = QMessageBox::NoButton;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QLineEdit::EchoMode echo = QLineEdit::Normal;
        QString initialText; // preset text of getText
        QStringList items;   // getItem
        int current = 0;     // getItem's preset row
        bool editable = false;
        int value = 0, minimum = 0, maximum = 0, step = 1; // getInt
        QString directory;                                 // after the remembered-directory rule
        QString filter;
        QColor color;              // getColor's initial colour
        QDialog *dialog = nullptr; // exec
    };

    // The scripted answer. `ok` false means the user cancelled an input or
    // file question (the text, item, number and paths are then ignored).
    struct Answer
    {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        bool ok = false;
        QString text;                   // getText, getItem, single file or directory
        QStringList texts;              // getOpenFileNames
        QString filter;                 // the save dialog's chosen filter; empty: the first
        int value = 0;                  // getInt
        QColor color;                   // getColor (with ok)
        int result = QDialog::Rejected; // exec
    };

    using Handler = std::function<Answer(const Request &)>;

    // Replaces the real dialogs with `handler`; an empty handler restores them.
    static void setHandler(Handler handler);
    static bool hasHandler();

    // Installs a handler for one scope (one test) and restores the previous
    // one afterwards.
    class ScopedHandler
    {
    public:
        explicit ScopedHandler(Handler handler);
        ~ScopedHandler();
        ScopedHandler(const ScopedHandler &) = delete;
        ScopedHandler &operator=(const ScopedHandler &) = delete;

    private:
        Handler m_previous;
    };

    // Tells `watcher` of every message box asked for while it lives, before
    // the box shows or the handler answers it; an outer watch hears nothing
    // until this one ends. So the main window learns why a tool refused a
    // file.
    class ScopedWatch
    {
    public:
        using Watcher = std::function<void(const Request &)>;
        explicit ScopedWatch(Watcher watcher);
        ~ScopedWatch();
        ScopedWatch(const ScopedWatch &) = delete;
        ScopedWatch &operator=(const ScopedWatch &) = delete;

    private:
        Watcher m_previous;
    };

    static QMessageBox::StandardButton
    question(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    information(QWidget *parent, const QString &title, const QString &text,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    warning(QWidget *parent, const QString &title, const QString &text,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton
    critical(QWidget *parent, const QString &title, const QString &text,
             QMessageBox::StandardButtons buttons = QMessageBox::Ok,
             QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

    static QString getText(QWidget *parent, const QString &title, const QString &label,
                           QLineEdit::EchoMode echo = QLineEdit::Normal,
                           const QString &text = QString(), bool *ok = nullptr);
    static QString getItem(QWidget *parent, const QString &title, const QString &label,
                           const QStringList &items, int current = 0, bool editable = true,
                           bool *ok = nullptr);
    static int getInt(QWidget *parent, const QString &title, const QString &label, int value = 0,
                      int minimum = -2147483647, int maximum = 2147483647, int step = 1,
                      bool *ok = nullptr);

    // Empty (or an empty list) when cancelled.
    static QString getOpenFileName(QWidget *parent = nullptr, const QString &caption = QString(),
                                   const QString &directory = QString(),
                                   const QString &filter = QString());
    static QStringList getOpenFileNames(QWidget *parent = nullptr,
                                        const QString &caption = QString(),
                                        const QString &directory = QString(),
                                        const QString &filter = QString());
    static QString getSaveFileName(QWidget *parent = nullptr, const QString &caption = QString(),
                                   const QString &directory = QString(),
                                   const QString &filter = QString());
    static QString getExistingDirectory(QWidget *parent = nullptr,
                                        const QString &caption = QString(),
                                        const QString &directory = QString());
    // An open dialog outside the remembered-directory rule: it starts in
    // `directory` as given (empty: the dialog's own choice) and remembers
    // nothing.
    static QString getPlainOpenFileName(QWidget *parent, const QString &caption,
                                        const QString &directory, const QString &filter);

    // The suffix a filter entry stands for ("pcf" for "Particle Configuration
    // File (*.pcf)", the first of several); empty for "*" and the like.
    static QString filterSuffix(const QString &filterEntry);
    // `path` with the suffix of `filterEntry` (empty: the first entry of
    // `filter`) added when its file name has none.
    static QString withFilterSuffix(const QString &path, const QString &filter,
                                    const QString &filterEntry = QString());

    // The colour dialog; an invalid colour when cancelled.
    static QColor getColor(const QColor &initial, QWidget *parent, const QString &title);

    // Runs the dialog modally and returns its result (QDialog::Accepted or
    // QDialog::Rejected, or whatever the dialog passes to done()).
    static int exec(QDialog *dialog);

    static QString lastDirectory();
    static void setLastDirectory(const QString &directory);

private:
    static QMessageBox::StandardButton message(Kind kind, QWidget *parent, const QString &title,
                                               const QString &text,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton);
    static QString startDirectory(const QString &directory);
    static void rememberFile(const QString &path);
};
